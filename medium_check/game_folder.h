// The game folder as a table in memory: every file and folder beneath it with its size,
// content hash and attributes, found by name without regard to letter case as Windows does.
// The dry run changes this table instead of the disk; a scanner fills it from the disk.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

enum {
  GAME_ENTRY_MAX = 4096,  // files and folders kept; a larger folder is marked truncated
  GAME_NAME_SIZE = 800    // a path below the folder: 259 UTF-16 units as UTF-8, and more
};

// Attribute bits, as Windows numbers them.
enum {
  GAME_READONLY = 0x1,
  GAME_HIDDEN = 0x2,
  GAME_SYSTEM = 0x4,
  GAME_FOLDER = 0x10,
  GAME_ARCHIVE = 0x20,
  GAME_NORMAL = 0x80
};

struct GameEntry {
  char name[GAME_NAME_SIZE];   // cp932 path below the folder, "\" between its parts; empty
                               // when cp932 cannot hold the name (the updater never names it)
  char shown[GAME_NAME_SIZE];  // the same path as UTF-8, for reports and predictions
  uint32_t attributes;         // GAME_* bits; GAME_FOLDER for a folder
  uint64_t size;               // bytes of a file, 0 for a folder
  uint64_t hash;               // content_hash of a file's bytes, 0 for a folder
};

// Empties the table.
void game_folder_reset(void);

// Adds an entry or replaces the one of the same name (letter case aside; the spelling given
// is stored). `name` may be empty for a name cp932 cannot hold. 0 when stored; 1 when the table
// is full (the folder is then marked truncated).
int game_put(const char* name, const char* shown, uint32_t attributes, uint64_t size,
             uint64_t hash);

// The entry named `name` (cp932, letter case aside), or null.
GameEntry* game_find(const char* name);

// Removes the entry named `name`, if any.
void game_remove(const char* name);

int game_entry_count(void);
const GameEntry* game_entry(int index);

// 1 when entries had to be left out because the table was full.
int game_folder_truncated(void);

// The entries' indices in the order predictions list them (by UTF-8 name, byte-wise after
// upper-casing ASCII letters), in `order` (room for game_entry_count()).
void game_sorted_order(int* order);

// Content hash: 64-bit FNV-1a (offset basis 0xCBF29CE484222325, prime 0x100000001B3) over the
// file's bytes; "a" hashes to 0xAF63DC4C8601EC8C. Start with CONTENT_HASH_START.
const uint64_t CONTENT_HASH_START = 0xCBF29CE484222325ull;
uint64_t content_hash(uint64_t hash, const void* data, size_t size);

// Reads the open `file` to its end for its size and content hash: 0 when it was read whole,
// -1 on a read error (the figures then cover what was read).
int content_hash_file(FILE* file, uint64_t* size, uint64_t* hash);
