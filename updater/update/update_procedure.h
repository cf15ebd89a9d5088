// The update procedure: finds the installed program's folder, checks its drive, copies the
// listed files into it, deletes the listed files, copies the executable and, after full
// success, deletes the configuration and save files. Win32 only; names are cp932 texts.
#pragma once

enum {
  FREE_SPACE_MIN_MIB = 5,   // less than this on the target drive: "MOREDISKFREE"
  UPDATE_VALUE_SIZE = 256,  // buffers for values of the update description
  SAVE_FILE_COUNT = 11      // save files <SAVENAME>00.SAV .. <SAVENAME>10.SAV
};

// The whole procedure, run once after the user confirmed the update. Every outcome is shown
// to the user (boxes and dialogs); the caller ends the program afterwards.
void run_update(void);

// The "SaveDir" of the installation record when "Installed" is nonzero, or null when the
// record names no folder (not installed, no or unreadable "SaveDir", or an empty one). The
// text stays valid until the next call.
const char* target_folder(void);

// Copies the source named by the value of `source_key` to `folder` + "\" + the value of
// `target_key`, replacing the target, and leaves the target with the archive attribute alone.
// 0 when copied or skipped (a key absent, or a half "NULL"); 1 when the copy failed (or the
// target path does not fit a path buffer), after the message box naming the source value.
int copy_pair(const char* folder, const char* source_key, const char* target_key);

// Free space available on the drive holding `folder` (its drive's root, or the current
// drive's root when the path has no drive letter), in whole MiB clamped to the largest int;
// -1 when it cannot be measured.
int free_space_mib(const char* folder);

// Whole MiB in `bytes`, clamped to the largest int.
int whole_mib(unsigned long long bytes);

// Forms folder + "\" + name + suffix (suffix may be null) in `out` (PATH_TEXT_SIZE bytes).
// 0 when it fits; -1 when it would not, and `out` is then empty, never a cut path.
int join_folder_path(char* out, const char* folder, const char* name, const char* suffix);

// Test seam: the drive check asks `probe` instead of free_space_mib when one is set (null:
// the real measurement). The program never sets one.
typedef int (*FreeSpaceProbe)(const char* folder);
void set_free_space_probe(FreeSpaceProbe probe);
