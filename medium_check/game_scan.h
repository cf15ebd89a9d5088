// Filling the game folder's table from the disk, and what else the dry run asks of the game
// folder's system: the free space of its volume and the length of its full path. One
// implementation per platform; paths are UTF-8 (the Windows entry converts its UTF-16
// arguments losslessly).
#pragma once
#include <cstdio>

// Scans every file and folder beneath `folder` into the table (game_folder_reset first),
// reading each file for its hash. 0 when the folder could be read; -1 when it is no folder.
int scan_game_folder(const char* folder);

// Free space on the volume that holds `folder`, in whole MiB clamped to the largest int; -1
// when it cannot be measured.
int game_folder_free_mib(const char* folder);

// UTF-16 units of `folder`'s full path as the updater would hold it ("Z:\..." for a Linux
// path, as Wine shows it); -1 when it cannot be found.
int game_folder_units(const char* folder);

// Opens a file by its UTF-8 path (stdio mode). Null on failure.
FILE* open_utf8_file(const char* path, const char* mode);
