// The dry run's simulation. Names are resolved as Windows resolves a
// path before it looks anything up: "\" and "/" separate, "." and ".." are taken away, and
// trailing dots and spaces of a part are dropped; then each folder part is found in the table
// without regard to case.
#include "dry_run.h"
#include <cstring>
#include "named_file.h"
#include "path_split.h"
#include "sjis.h"

enum {
  TEMP_NAME_UNITS = 11,  // the copy's temporary file beside the target: "~" 6 digits ".tmp"
  // A path the updater joins, and one the file functions take, has fewer UTF-16 units.
  PATH_LIMIT_UNITS = PATH_TEXT_SIZE,
  PART_MAX = 64  // parts of one name
};

static struct {
  DryRun run;
  DrySourceProbe probe;
  DryToUtf8 to_utf8;
  // The sources as found when the run started: 0 when readable, with size and hash.
  int source_found[UPDATE_STEP_MAX];
  uint64_t source_size[UPDATE_STEP_MAX], source_hash[UPDATE_STEP_MAX];
} dry;

void set_dry_source_probe(DrySourceProbe probe) { dry.probe = probe; }
void set_dry_to_utf8(DryToUtf8 convert) { dry.to_utf8 = convert; }
const DryRun* dry_run(void) { return &dry.run; }

int read_dry_source(const char* source, uint64_t* size, uint64_t* hash) {
  FILE* file = open_named_file(source, "rb");
  if (!file) return -1;
  int read = content_hash_file(file, size, hash);
  fclose(file);
  return read;
}

int dry_name_utf8(const char* cp932, char* out, size_t size) {
  if (dry.to_utf8) return dry.to_utf8(cp932, out, size);
  snprintf(out, size, "%s", cp932);
  return (int)strlen(out);
}

// UTF-16 units of a cp932 text: one per character, since every cp932 character is in the
// Basic Multilingual Plane.
static int utf16_units(const char* text) {
  int units = 0;
  for (const unsigned char* p = (const unsigned char*)text; *p; units++)
    p += is_sjis_lead_byte(*p) && p[1] ? 2 : 1;
  return units;
}

struct Resolved {
  char path[GAME_NAME_SIZE];    // the name as found: the folder parts in their spelling on disk
  char parent[GAME_NAME_SIZE];  // the folder part of `path`, "" for the game folder itself
  char last[GAME_NAME_SIZE];    // the last part as the description spells it
  int empty;                    // no part left: the name is the game folder itself
  int outside;                  // ".." leads out of the game folder
  int refused;                  // the last part holds a character Windows refuses
  int folder_missing;           // a folder part does not exist as a folder
  int folder_units;             // UTF-16 units of the folder part as written (for the temp file)
};

// Splits `name` (cp932) at "\" and "/" outside double-byte characters into `parts`.
static int split_parts(const char* name, char parts[][GAME_NAME_SIZE], int* refused_at) {
  int count = 0;
  size_t length = 0;
  char part[GAME_NAME_SIZE];
  int refused = 0;
  *refused_at = -1;
  const unsigned char* p = (const unsigned char*)name;
  for (;; p++) {
    if (*p == '\\' || *p == '/' || *p == 0) {
      part[length] = 0;
      // Windows drops trailing dots and spaces of a part, but "." and ".." stand.
      if (strcmp(part, ".") != 0 && strcmp(part, "..") != 0)
        while (length && (part[length - 1] == '.' || part[length - 1] == ' ')) part[--length] = 0;
      if (length && count < PART_MAX) {
        if (refused && *refused_at < 0) *refused_at = count;
        memcpy(parts[count++], part, length + 1);
      }
      length = 0;
      refused = 0;
      if (*p == 0) break;
      continue;
    }
    if (is_sjis_lead_byte(*p) && p[1]) {
      if (length + 2 < sizeof part) {
        part[length++] = (char)p[0];
        part[length++] = (char)p[1];
      }
      p++;
      continue;
    }
    if (refused_in_windows_name(*p)) refused = 1;
    if (length + 1 < sizeof part) part[length++] = (char)*p;
  }
  return count;
}

static void append_part(char* path, const char* part) {
  size_t length = strlen(path);
  snprintf(path + length, GAME_NAME_SIZE - length, "%s%s", length ? "\\" : "", part);
}

static void resolve(const char* name, Resolved* r) {
  static char given[PART_MAX][GAME_NAME_SIZE];
  static char kept[PART_MAX][GAME_NAME_SIZE];
  memset(r, 0, sizeof *r);
  int refused_at;
  int count = split_parts(name, given, &refused_at);
  int depth = 0;
  for (int i = 0; i < count; i++) {
    if (strcmp(given[i], ".") == 0) continue;
    if (strcmp(given[i], "..") == 0) {
      if (depth == 0)
        r->outside = 1;
      else
        depth--;
      continue;
    }
    if (i == refused_at) {
      if (i == count - 1)
        r->refused = 1;
      else
        r->folder_missing = 1;  // no folder of that name can exist
    }
    memcpy(kept[depth++], given[i], sizeof given[i]);
  }
  // The temporary file goes beside the target, in the folder part as written.
  const char* slash = nullptr;
  for (const unsigned char* p = (const unsigned char*)name; *p; p++) {
    if (is_sjis_lead_byte(*p) && p[1])
      p++;
    else if (*p == '\\' || *p == '/')
      slash = (const char*)p;
  }
  if (slash) {
    char folder[GAME_NAME_SIZE];
    snprintf(folder, sizeof folder, "%.*s", (int)(slash - name + 1), name);
    r->folder_units = utf16_units(folder);
  }
  if (r->outside) return;
  if (depth == 0) {
    r->empty = 1;
    return;
  }
  for (int i = 0; i + 1 < depth; i++) {
    char path[GAME_NAME_SIZE];
    snprintf(path, sizeof path, "%s", r->parent);
    append_part(path, kept[i]);
    const GameEntry* folder = game_find(path);
    if (folder && (folder->attributes & GAME_FOLDER)) {
      snprintf(r->parent, sizeof r->parent, "%s", folder->name);
    } else {
      r->folder_missing = 1;
      snprintf(r->parent, sizeof r->parent, "%s", path);
    }
  }
  snprintf(r->last, sizeof r->last, "%s", kept[depth - 1]);
  snprintf(r->path, sizeof r->path, "%s", r->parent);
  append_part(r->path, r->last);
}

// The UTF-8 form of a resolved path: the parent as the table shows it, then the last part.
static void shown_name(const Resolved* r, char* out, size_t size) {
  char last[GAME_NAME_SIZE];
  if (dry_name_utf8(r->last, last, sizeof last) < 0) snprintf(last, sizeof last, "?");
  const GameEntry* parent = r->parent[0] ? game_find(r->parent) : nullptr;
  if (parent)
    snprintf(out, size, "%s\\%s", parent->shown, last);
  else
    snprintf(out, size, "%s", last);
}

int dry_outcome_failed(DryOutcome outcome) {
  return outcome >= DRY_FAIL_TARGET_NAME && outcome <= DRY_FAIL_IS_FOLDER;
}

// One copy as the copy routine makes it, its checks in the routine's order.
static DryOutcome simulate_copy(int index, const DrySettings* settings, DryStepResult* result) {
  const UpdateStep* step = &dry.run.steps.step[index];
  char utf8[GAME_NAME_SIZE * 2];
  if (dry_name_utf8(step->target, utf8, sizeof utf8) < 0) return DRY_FAIL_TARGET_NAME;
  if (settings->folder_units + 1 + utf16_units(step->target) >= PATH_LIMIT_UNITS)
    return DRY_FAIL_TOO_LONG;
  if (dry_name_utf8(step->source, utf8, sizeof utf8) < 0 ||
      utf16_units(step->source) >= PATH_LIMIT_UNITS)
    return DRY_FAIL_SOURCE_NAME;
  if (!dry.source_found[index]) return DRY_FAIL_SOURCE_MISSING;
  Resolved r;
  resolve(step->target, &r);
  snprintf(result->place, sizeof result->place, "%s", r.path);
  if (r.outside) return DRY_OUTSIDE;
  if (r.empty) return DRY_FAIL_IS_FOLDER;
  if (r.folder_missing) return DRY_FAIL_NO_FOLDER;
  if (settings->folder_units + 1 + r.folder_units + TEMP_NAME_UNITS >= PATH_LIMIT_UNITS)
    return DRY_FAIL_TOO_LONG;
  if (r.refused) return DRY_FAIL_TARGET_NAME;
  const GameEntry* old = game_find(r.path);
  if (old && (old->attributes & GAME_FOLDER)) return DRY_FAIL_IS_FOLDER;
  DryOutcome outcome = !old                                ? DRY_COPIED_NEW
                       : (old->attributes & GAME_READONLY) ? DRY_READONLY_REPLACED
                                                           : DRY_REPLACED;
  if (old) result->old_size = old->size;
  result->new_size = dry.source_size[index];
  // A replaced file keeps its spelling on disk (the file system finds the old name without
  // regard to case and the new data moves in under it); a new one takes the description's.
  // Either way the archive attribute alone is left.
  char name[GAME_NAME_SIZE], shown[GAME_NAME_SIZE];
  snprintf(name, sizeof name, "%s", old ? old->name : r.path);
  if (old)
    snprintf(shown, sizeof shown, "%s", old->shown);
  else
    shown_name(&r, shown, sizeof shown);
  game_put(name, shown, GAME_ARCHIVE, dry.source_size[index], dry.source_hash[index]);
  return outcome;
}

static DryOutcome simulate_delete(const UpdateStep* step, const DrySettings* settings,
                                  DryStepResult* result) {
  char utf8[GAME_NAME_SIZE * 2];
  if (dry_name_utf8(step->target, utf8, sizeof utf8) < 0 ||
      settings->folder_units + 1 + utf16_units(step->target) >= PATH_LIMIT_UNITS)
    return DRY_ABSENT;  // the path cannot be formed: nothing is deleted
  Resolved r;
  resolve(step->target, &r);
  snprintf(result->place, sizeof result->place, "%s", r.path);
  if (r.outside) return DRY_OUTSIDE;
  if (r.empty) return DRY_KEPT_FOLDER;
  const GameEntry* entry = r.folder_missing ? nullptr : game_find(r.path);
  if (!entry) return DRY_ABSENT;
  snprintf(result->place, sizeof result->place, "%s", entry->name);
  if (entry->attributes & GAME_FOLDER) return DRY_KEPT_FOLDER;
  if (entry->attributes & GAME_READONLY) return DRY_KEPT_READONLY;
  result->old_size = entry->size;
  game_remove(r.path);
  return DRY_DELETED;
}

static void simulate_step(int index, const DrySettings* settings) {
  const UpdateStep* step = &dry.run.steps.step[index];
  DryStepResult* result = &dry.run.result[index];
  result->outcome = step->kind == STEP_COPY ? simulate_copy(index, settings, result)
                                            : simulate_delete(step, settings, result);
}

// Sizes for the peak the updater measures before it starts: each source, and the file each
// step's name holds now.
static uint64_t peak_bytes(void) {
  static long long source_bytes[UPDATE_STEP_MAX], target_bytes[UPDATE_STEP_MAX];
  const UpdateSteps* steps = &dry.run.steps;
  for (int i = 0; i < steps->count; i++) {
    source_bytes[i] = dry.source_found[i] ? (long long)dry.source_size[i] : -1;
    Resolved r;
    resolve(steps->step[i].target, &r);
    const GameEntry* entry = r.outside || r.empty || r.folder_missing ? nullptr : game_find(r.path);
    target_bytes[i] = entry && !(entry->attributes & GAME_FOLDER) ? (long long)entry->size : -1;
  }
  return update_peak_bytes(steps, source_bytes, target_bytes);
}

DryEnd run_dry(const DrySettings* settings) {
  DryRun* run = &dry.run;
  memset(run->result, 0, sizeof run->result);
  list_update_steps(&run->steps);
  DrySourceProbe probe = dry.probe ? dry.probe : read_dry_source;
  for (int i = 0; i < run->steps.count; i++) {
    const UpdateStep* step = &run->steps.step[i];
    dry.source_found[i] = step->kind == STEP_COPY &&
                          probe(step->source, &dry.source_size[i], &dry.source_hash[i]) == 0;
  }
  run->free_mib = settings->free_mib;
  run->peak_bytes = peak_bytes();
  if (settings->free_mib >= 0 && !room_for_update(settings->free_mib, run->peak_bytes)) {
    for (int i = 0; i < run->steps.count; i++) run->result[i].outcome = DRY_NOT_RUN;
    return run->end = DRY_END_MOREDISKFREE;
  }
  int failed = 0;
  for (int i = 0; i < run->steps.count; i++) {
    if (run->steps.step[i].final) continue;
    simulate_step(i, settings);
    failed |= dry_outcome_failed(run->result[i].outcome);
  }
  for (int i = 0; i < run->steps.count; i++) {
    if (!run->steps.step[i].final) continue;
    if (failed)
      run->result[i].outcome = DRY_NOT_RUN;
    else
      simulate_step(i, settings);
  }
  return run->end = failed ? DRY_END_FAILED : DRY_END_MINIOK;
}

void stop_dry_run(void) {
  dry.run.steps.count = 0;
  dry.run.peak_bytes = 0;
  dry.run.free_mib = -1;
  dry.run.end = DRY_END_STOPPED;
}
