// Checks of the medium's files through the updater's own lookup and table.
#include "medium_files.h"
#include <cstdio>
#include <cstring>
#include "env_check.h"
#include "env_table.h"
#include "findings.h"
#include "medium_source.h"
#include "named_file.h"
#include "path_split.h"
#include "plain_name.h"
#include "resource_lookup.h"
#include "resource_sources.h"
#include "sjis.h"
#include "update_steps.h"

enum { VALUE_SIZE = 256, LABEL_SIZE = 300 };

static bool plain_file_exists(const char* path) {
  FILE* file = open_named_file(path, "rb");
  if (!file) return false;
  fclose(file);
  return true;
}

void check_source(void) {
  bool marker = plain_file_exists("UPDATE\\PK.BAT");
  bool archive = plain_file_exists("UPDATE.PAK");
  if (marker && archive) {
    add_finding(FINDING_WARNING, "UPDATE.PAK", 0,
                "not used: the folder UPDATE holds PK.BAT, so the updater reads UPDATE\\ instead");
  }
  if (!marker && plain_file_exists("UPDATE\\UPDATE.ENV")) {
    add_finding(archive ? FINDING_WARNING : FINDING_ERROR, "UPDATE\\UPDATE.ENV", 0,
                "not used: the folder UPDATE has no PK.BAT, so the updater does not read it%s",
                archive ? " (it reads UPDATE.PAK)" : "");
  }
}

// True when `name` holds a drive or folder part, split as the lookup splits the names it
// looks for (so never the member name it compares); `base` then points at the rest.
static bool folder_part(const char* name, const char** base) {
  PathParts parts;
  split_path(name, &parts);
  size_t prefix = strlen(parts.drive) + strlen(parts.dir);
  *base = name + prefix;
  return prefix != 0;
}

static bool is_updater_resource(const char* base) {
  static const char* const names[] = {"UPDATE.ENV", "UPDATE.BMP", "UPDATE.ITW"};
  for (const char* n : names) {
    if (sjis_icompare(base, n) == 0) return true;
  }
  return false;
}

// The name of member `index` of the registered PAK or AC directory.
static void member_name(const ResourceSlot* slot, uint32_t index, char* name, size_t size) {
  if (slot->pak)
    snprintf(name, size, "%.*s", int(strnlen(slot->pak[index].name, PAK_NAME_LIMIT)),
             slot->pak[index].name);
  else
    snprintf(name, size, "%.*s", int(strnlen(slot->ac[index].name, AC_NAME_LIMIT)),
             slot->ac[index].name);
}

// The registered archive when it has a directory that can hold folder names (PAK or AC).
static const ResourceSlot* named_directory(void) {
  const ResourceSlot* slot = resource_slot(0);
  return slot->archive_path[0] && (slot->pak || slot->ac) ? slot : nullptr;
}

void check_archive_members(void) {
  const ResourceSlot* slot = named_directory();
  if (!slot) return;
  for (uint32_t i = 0; i + 1 < slot->count; ++i) {  // the last entry only ends the data
    char name[AC_NAME_FIELD + 1];
    member_name(slot, i, name, sizeof name);
    const char* base = name;
    if (!folder_part(name, &base)) continue;
    bool own = is_updater_resource(base);
    add_finding(own ? FINDING_ERROR : FINDING_WARNING, slot->archive_path, 0,
                "member \"%s\" is stored under a folder name: the updater looks members up by "
                "name and extension only and never finds it%s",
                name, own ? "; pack it without the folder" : "");
  }
}

bool archive_holds_under_folder(const char* wanted) {
  const ResourceSlot* slot = named_directory();
  if (!slot) return false;
  for (uint32_t i = 0; i + 1 < slot->count; ++i) {
    char name[AC_NAME_FIELD + 1];
    member_name(slot, i, name, sizeof name);
    const char* base = name;
    if (folder_part(name, &base) && sjis_icompare(base, wanted) == 0) return true;
  }
  return false;
}

// The value the updater gets for `key` (env_string), false when the key is absent.
static bool value_of(const char* key, char* value) { return env_string(key, value) == 0; }

static void check_one_pair(const char* from_key, const char* to_key) {
  char from[VALUE_SIZE], to[VALUE_SIZE];
  bool has_from = value_of(from_key, from), has_to = value_of(to_key, to);
  if (has_from == has_to) return;
  const char* present = has_from ? from_key : to_key;
  add_finding(FINDING_ERROR, env_label(), env_key_line(present),
              "%s without %s: the updater skips the pair without a word", present,
              has_from ? to_key : from_key);
}

static void check_deletion_name(const char* flag_key, const char* name_key, const char* deleted) {
  char name[VALUE_SIZE];
  bool has_name = value_of(name_key, name);
  int flag = env_int0(flag_key);
  if (has_name && is_null_value(name)) {
    add_finding(flag ? FINDING_ERROR : FINDING_WARNING, env_label(), env_key_line(name_key),
                "%s NULL does not mean \"nothing\" here: %s", name_key,
                flag ? deleted : "with a nonzero flag the updater would delete files named NULL");
  }
  if (flag && !has_name) {
    add_finding(FINDING_WARNING, env_label(), env_key_line(flag_key),
                "%s is %d but there is no %s: nothing is deleted for it", flag_key, flag, name_key);
  }
}

void check_pairs(void) {
  for (const auto& pair : update_copy_keys) check_one_pair(pair[0], pair[1]);
  check_deletion_name("DELCONFIG", "CONFIGNAME", "the updater deletes NULL.SAV");
  check_deletion_name("DELSAVE", "SAVENAME", "the updater deletes NULL00.SAV to NULL10.SAV");
}

static bool is_full_path(const char* path) {
  return path[0] == '\\' || path[0] == '/' || (path[0] && path[1] == ':');
}

// The copy's source, a plain file beside the updater.
static void check_copy_source(const char* from_key, const char* from) {
  int line = env_key_line(from_key);
  if (is_full_path(from)) {
    add_finding(FINDING_WARNING, env_label(), line,
                "%s \"%s\" is a full path: the updater copies from there on the player's machine, "
                "not from the medium",
                from_key, from);
    return;
  }
  if (plain_file_exists(from)) return;
  char other[LABEL_SIZE];
  if (plain_name_in_other_case(from, other, sizeof other)) {
    add_finding(FINDING_WARNING, env_label(), line,
                "%s \"%s\" is on the medium only as \"%s\" (another letter case): Windows copies "
                "it, but a tool that takes names byte for byte does not find it",
                from_key, from, other);
    return;
  }
  char where[LABEL_SIZE];
  bool packed = resource_label(from, where, sizeof where) && strcmp(where, from) != 0;
  add_finding(
      FINDING_ERROR, env_label(), line,
      "%s \"%s\" is not on the medium: the copy fails (\"ファイル[ %s ]のコピーに失敗しました\") "
      "and the update ends as failed%s%s%s",
      from_key, from, from, packed ? "; it is in " : "", packed ? where : "",
      packed ? ", but copies read plain files beside the updater" : "");
}

void check_plain_files(void) {
  // The copies the updater makes: both keys present, neither value "NULL".
  UpdateSteps steps;
  list_update_steps(&steps);
  for (int i = 0; i < steps.count; ++i) {
    if (steps.step[i].kind == STEP_COPY) check_copy_source(steps.step[i].key, steps.step[i].source);
  }

  char readme[VALUE_SIZE] = "ReadMe.txt";
  bool named = value_of("README", readme);
  char other[LABEL_SIZE];
  if (!plain_file_exists(readme) && plain_name_in_other_case(readme, other, sizeof other)) {
    add_finding(FINDING_WARNING, named ? env_label() : "", named ? env_key_line("README") : 0,
                "the read-me \"%s\" is on the medium only as \"%s\" (another letter case): "
                "Windows opens it, but a tool that takes names byte for byte does not find it",
                readme, other);
  } else if (!plain_file_exists(readme)) {
    add_finding(FINDING_ERROR, named ? env_label() : "", named ? env_key_line("README") : 0,
                "the read-me \"%s\"%s is not on the medium: the player gets the shell's error "
                "box before the confirmation",
                readme, named ? "" : " (no README key, so the default)");
  }
}

void check_splash_files(void) {
  static const char* const names[] = {"update.itw", "update.bmp"};
  for (const char* name : names) {
    char label[LABEL_SIZE];
    if (resource_label(name, label, sizeof label)) continue;
    add_finding(
        FINDING_ERROR, "", 0,
        "%s is found nowhere: the player gets \"ファイル[%s]が開けません\\nリトライしますか？\" "
        "and Cancel ends the updater with -1",
        name, name);
  }
}
