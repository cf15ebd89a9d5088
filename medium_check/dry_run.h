// The dry run: the update procedure simulated on the game folder's table (game_folder.h),
// step by step as the updater takes them (update_steps.h) and with the copy's rules (a
// replaced target, read-only or not; no folder created; a failed copy leaves the target as it
// was), so the folder's state after the update and the end message are known before anyone
// runs it. Needs the medium's UPDATE.ENV loaded; sources are files beside the updater, that
// is in the current directory. Portable: nothing on disk is changed.
#pragma once
#include <cstdint>
#include <cstdio>
#include "game_folder.h"
#include "update_steps.h"

enum DryOutcome {
  DRY_COPIED_NEW,         // the target did not exist
  DRY_REPLACED,           // an existing target replaced
  DRY_READONLY_REPLACED,  // a read-only target replaced (the copy lifts the attribute)
  DRY_OUTSIDE,            // the name leads out of the game folder: not simulated
  DRY_FAIL_TARGET_NAME,   // the target's name is not valid cp932 or holds a character Windows
                          // refuses in names
  DRY_FAIL_TOO_LONG,      // folder + "\" + target, or the temporary file beside it, is too long
  DRY_FAIL_SOURCE_NAME,   // the source's name is not valid cp932, or too long
  DRY_FAIL_SOURCE_MISSING,
  DRY_FAIL_NO_FOLDER,     // the target's folder does not exist (no folder is created)
  DRY_FAIL_IS_FOLDER,     // a folder has the target's name
  DRY_DELETED,
  DRY_ABSENT,             // nothing of that name (or its path cannot be formed)
  DRY_KEPT_READONLY,      // DeleteFile refuses read-only files
  DRY_KEPT_FOLDER,        // DeleteFile deletes no folders
  DRY_NOT_RUN             // a configuration or save file after a failed update, or every step
                          // when the updater refuses to start
};

enum DryEnd {
  DRY_END_MINIOK,
  DRY_END_FAILED,
  DRY_END_MOREDISKFREE,
  DRY_END_STOPPED  // no UPDATE.ENV: the updater ends before the update, nothing changes
};

struct DryStepResult {
  DryOutcome outcome;
  char place[GAME_NAME_SIZE];  // the name as resolved in the folder (existing spelling kept)
  uint64_t old_size, new_size;  // the replaced or deleted file's bytes, the copy's
};

struct DrySettings {
  int folder_units;  // UTF-16 units of the target folder's path, as the updater joins names
  int free_mib;      // free space of the folder's volume in whole MiB, -1 when not measured
};

struct DryRun {
  UpdateSteps steps;
  DryStepResult result[UPDATE_STEP_MAX];
  DryEnd end;
  uint64_t peak_bytes;  // update_peak_bytes of the steps with the sizes found
  int free_mib;
};

// Looks at a copy source (cp932, relative to the current directory or a full path): 0 with
// its size and content_hash when it can be read, -1 when not. The default reads the file
// through the updater's own file opening.
typedef int (*DrySourceProbe)(const char* source, uint64_t* size, uint64_t* hash);
void set_dry_source_probe(DrySourceProbe probe);  // null: the default
int read_dry_source(const char* source, uint64_t* size, uint64_t* hash);  // the default

// Converts a cp932 name to UTF-8: the byte count written, or -1 when it is not valid cp932.
// The program sets a real conversion; without one, names stand as their bytes.
typedef int (*DryToUtf8)(const char* cp932, char* out, size_t size);
void set_dry_to_utf8(DryToUtf8 convert);

// dry_name_utf8: the converter set (or the bytes as they stand); dry_outcome_failed: 1 for
// the outcomes that fail a copy, and with it the update.
int dry_name_utf8(const char* cp932, char* out, size_t size);
int dry_outcome_failed(DryOutcome outcome);

// Runs the simulation on the loaded description and the game table, which afterwards holds
// the predicted state. Returns the end; the whole run stays readable through dry_run().
DryEnd run_dry(const DrySettings* settings);
// The run when the medium has no UPDATE.ENV: no steps, the folder as it is, DRY_END_STOPPED.
void stop_dry_run(void);
const DryRun* dry_run(void);

// The end's message as the player sees it, cp932: "MINIOK", the failure message,
// "MOREDISKFREE", or the missing description's message.
const char* dry_end_text(DryEnd end);

// The run as a report for people (UTF-8 pieces, lines ending in "\n").
typedef void (*DryWrite)(void* context, const char* utf8);
void write_dry_report(DryWrite write, void* context);

// The prediction for machines (UTF-8): a first line "medium-check prediction 1", then
// "end MINIOK" | "end FAILED" | "end MOREDISKFREE", then one line per file and folder of the
// game folder after the update, sorted by name:
//   "file ATTR SIZE HASH NAME" / "folder ATTR - - NAME"
// with ATTR the attribute bits in 8 hex digits, HASH the content hash in 16, NAME the path
// below the folder with "\" between parts (the rest of the line).
void write_prediction(DryWrite write, void* context);
