// Listing the update's steps from the EnvTable and working out the free space their copies
// need at their peak.
#include "update_steps.h"
#include <cstdio>
#include <cstring>
#include "env_table.h"
#include "sjis.h"

const char* const update_copy_keys[COPY_PAIR_COUNT][2] = {
    {"COPYPAK_F", "COPYPAK_T"}, {"COPY1_F", "COPY1_T"},       {"COPY2_F", "COPY2_T"},
    {"COPY3_F", "COPY3_T"},     {"COPY4_F", "COPY4_T"},       {"COPY5_F", "COPY5_T"},
    {"COPY6_F", "COPY6_T"},     {"COPY7_F", "COPY7_T"},       {"COPY8_F", "COPY8_T"},
    {"COPY9_F", "COPY9_T"},     {"COPYEXE_F_NP", "COPYEXE_T"}};

int is_null_value(const char* value) {
  static const char null_text[] = "NULL";
  for (int i = 0; i < 4; i++) {
    char c = value[i];
    if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
    if (c != null_text[i]) return 0;
  }
  return value[4] == '\0';
}

int copy_step(const char* source_key, const char* target_key, UpdateStep* step) {
  char source[UPDATE_VALUE_SIZE], target[UPDATE_VALUE_SIZE];
  int source_found = env_string(source_key, source) == 0;
  int target_found = env_string(target_key, target) == 0;
  if (!source_found || !target_found) return 0;
  if (is_null_value(source) || is_null_value(target)) return 0;
  step->kind = STEP_COPY;
  step->final = 0;
  snprintf(step->key, sizeof step->key, "%s", source_key);
  snprintf(step->source, sizeof step->source, "%s", source);
  snprintf(step->target, sizeof step->target, "%s", target);
  return 1;
}

// Appends a deletion of `name` + `suffix` (suffix may be null), named for `key`.
static void add_delete(UpdateSteps* steps, const char* key, const char* name, const char* suffix,
                       int final) {
  if (steps->count >= UPDATE_STEP_MAX) return;  // cannot happen: the table fits every step
  UpdateStep* step = &steps->step[steps->count++];
  step->kind = STEP_DELETE;
  step->final = final;
  snprintf(step->key, sizeof step->key, "%s", key);
  step->source[0] = '\0';
  snprintf(step->target, sizeof step->target, "%s%s", name, suffix ? suffix : "");
}

static void add_copy(UpdateSteps* steps, const char* source_key, const char* target_key) {
  if (steps->count >= UPDATE_STEP_MAX) return;  // cannot happen: the table fits every step
  if (copy_step(source_key, target_key, &steps->step[steps->count])) steps->count++;
}

void list_update_steps(UpdateSteps* steps) {
  steps->count = 0;
  for (int i = 0; i < COPY_PAIR_COUNT - 1; i++)
    add_copy(steps, update_copy_keys[i][0], update_copy_keys[i][1]);
  for (int i = 1; i <= DELETE_KEYS; i++) {
    char key[16], value[UPDATE_VALUE_SIZE];
    snprintf(key, sizeof key, "DELETE_%d", i);
    if (env_string(key, value) != 0 || is_null_value(value)) continue;
    add_delete(steps, key, value, nullptr, 0);
  }
  const char* const* exe = update_copy_keys[COPY_PAIR_COUNT - 1];
  add_copy(steps, exe[0], exe[1]);

  char name[UPDATE_VALUE_SIZE];
  if (env_int0("DELCONFIG") != 0 && env_string("CONFIGNAME", name) == 0)
    add_delete(steps, "CONFIGNAME", name, ".SAV", 1);
  if (env_int0("DELSAVE") != 0 && env_string("SAVENAME", name) == 0) {
    for (int i = 0; i < SAVE_FILE_COUNT; i++) {
      char suffix[8];
      snprintf(suffix, sizeof suffix, "%02d.SAV", i);
      add_delete(steps, "SAVENAME", name, suffix, 1);
    }
  }
}

// The size the name of step `index` holds just before that step: what the latest earlier step
// with the same name (letter case aside, as the file system sees it) left there, else what
// the folder held at the start.
static long long size_before(const UpdateSteps* steps, int index, const long long* source_bytes,
                             const long long* target_bytes) {
  for (int j = index - 1; j >= 0; j--) {
    if (sjis_icompare(steps->step[j].target, steps->step[index].target) != 0) continue;
    if (steps->step[j].kind == STEP_DELETE) return 0;
    return source_bytes[j] > 0 ? source_bytes[j] : 0;
  }
  return target_bytes[index] > 0 ? target_bytes[index] : 0;
}

unsigned long long update_peak_bytes(const UpdateSteps* steps, const long long* source_bytes,
                                     const long long* target_bytes) {
  long long used = 0, peak = 0;  // bytes added to the volume so far, and at the worst moment
  for (int i = 0; i < steps->count; i++) {
    if (steps->step[i].kind != STEP_COPY) continue;
    long long source = source_bytes[i] > 0 ? source_bytes[i] : 0;
    if (used + source > peak) peak = used + source;  // the new file beside the old one
    used += source - size_before(steps, i, source_bytes, target_bytes);
  }
  return (unsigned long long)peak;
}

unsigned long long update_need_mib(unsigned long long peak_bytes) {
  return (peak_bytes + 1048575ull) / 1048576ull + FREE_SPACE_MIN_MIB;
}

int room_for_update(int free_mib, unsigned long long peak_bytes) {
  return free_mib >= 0 && (unsigned long long)free_mib >= update_need_mib(peak_bytes);
}
