// The update procedure: finds the installed program's folder, checks its drive and that it
// has room for every copy, copies the listed files into it, deletes the listed files, copies
// the executable and, after full success, deletes the configuration and save files. Win32
// only. Names from the description are cp932 texts; the target folder is kept as the
// registry holds it (UTF-16), so any folder name works, and the names are joined to it only
// for the file calls.
#pragma once
#include "free_space.h"
#include "update_steps.h"

// The whole procedure, run once after the user confirmed the update. Every outcome is shown
// to the user (boxes and dialogs); the caller ends the program afterwards.
void run_update(void);

// The "SaveDir" of the installation record when "Installed" is nonzero, or null when the
// record names no folder (not installed, no or unreadable "SaveDir", "(NULL)", or an empty
// one). The text stays valid until the next call.
const wchar_t* target_folder(void);

// Copies the source named by the value of `source_key` to `folder` + "\" + the value of
// `target_key`, replacing the target, and leaves the target with the archive attribute alone.
// 0 when copied or skipped (a key absent, or a half "NULL"); 1 when the copy failed (or the
// target path does not fit a path buffer), after the message box naming the source value.
int copy_pair(const wchar_t* folder, const char* source_key, const char* target_key);

// Forms folder + "\" + the cp932 `name` in `out` (PATH_TEXT_SIZE wide characters). 0 when it
// fits; -1 when it would not or `name` is not valid cp932, and `out` is then empty, never a
// cut path.
int join_folder_path(wchar_t* out, const wchar_t* folder, const char* name);

// The peak of update_peak_bytes for `steps` with the sizes measured now: the sources relative
// to the current folder, the targets in `folder`.
unsigned long long measured_peak_bytes(const wchar_t* folder, const UpdateSteps* steps);

// Test seam: the drive check asks `probe` instead of free_space_mib when one is set (null:
// the real measurement). The program never sets one.
typedef int (*FreeSpaceProbe)(const wchar_t* folder);
void set_free_space_probe(FreeSpaceProbe probe);
