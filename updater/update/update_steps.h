// The update's steps as the description lists them, in the order the procedure takes them
// (the ten copy pairs, the deletions, the executable pair, then the configuration and save
// files), and the free space the copies need at their peak. Portable: no file is touched
// here; the caller measures the sizes.
#pragma once

enum {
  UPDATE_VALUE_SIZE = 256,  // buffers for values of the update description
  STEP_NAME_SIZE = 264,     // a value with a suffix such as "00.SAV"
  SAVE_FILE_COUNT = 11,     // save files <SAVENAME>00.SAV .. <SAVENAME>10.SAV
  DELETE_KEYS = 9,          // DELETE_1 .. DELETE_9
  // 10 copy pairs, 9 deletions, the executable pair, the configuration file, 11 save files
  UPDATE_STEP_MAX = 10 + DELETE_KEYS + 1 + 1 + SAVE_FILE_COUNT,
  FREE_SPACE_MIN_MIB = 5    // room kept free beyond the copies' peak
};

enum UpdateStepKind { STEP_COPY, STEP_DELETE };

// The copy pairs' keys (source, target): COPYPAK, COPY1 to COPY9, and last the executable's
// pair, which the procedure takes after the deletions.
enum { COPY_PAIR_COUNT = 11 };
extern const char* const update_copy_keys[COPY_PAIR_COUNT][2];

struct UpdateStep {
  UpdateStepKind kind;
  int final;                        // 1: a configuration or save file, only after full success
  char key[16];                     // the key it comes from: a copy's source key, DELETE_n,
                                    // CONFIGNAME or SAVENAME
  char source[UPDATE_VALUE_SIZE];   // STEP_COPY: the source path as the description gives it
  char target[STEP_NAME_SIZE];      // the file's name in the target folder
};

struct UpdateSteps {
  int count;
  UpdateStep step[UPDATE_STEP_MAX];
};

// 1 when `value` is "NULL" in any letter case: nothing to do for the entry.
int is_null_value(const char* value);

// The copy named by the two keys: 1 with `step` filled when both keys are present and neither
// value is "NULL"; 0 when the pair is to be skipped.
int copy_step(const char* source_key, const char* target_key, UpdateStep* step);

// Every step of the loaded description, in order. A DELETE_n that is absent or "NULL" has no
// step; CONFIGNAME and SAVENAME know no "NULL" (the value NULL names NULL.SAV).
void list_update_steps(UpdateSteps* steps);

// The most the copies will have added to the target folder's volume at any moment, in bytes.
// source_bytes[i] is the size of step i's source (-1: cannot be measured, counts 0),
// target_bytes[i] the size of the file its name holds before the update (-1: none). A copy
// needs its whole source while the old target still exists, and frees the old target when it
// takes its place; a later copy to a name an earlier step wrote or deleted replaces that.
// Deletions are counted as freeing nothing, since their failures are ignored.
unsigned long long update_peak_bytes(const UpdateSteps* steps, const long long* source_bytes,
                                     const long long* target_bytes);

// The free space the update asks for, in whole MiB: `peak_bytes` rounded up to whole MiB plus
// FREE_SPACE_MIN_MIB.
unsigned long long update_need_mib(unsigned long long peak_bytes);

// 1 when `free_mib` (whole MiB, rounded down) is at least update_need_mib(`peak_bytes`); 0 when
// the update must not start.
int room_for_update(int free_mib, unsigned long long peak_bytes);
