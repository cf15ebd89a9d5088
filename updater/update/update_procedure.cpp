// run_update and its steps: the target folder from the installation record, the drive and
// space checks, the copy pairs with the progress dialog, the deletions, and the final
// configuration and save file deletions. Names reach Windows through the wide functions.
#include "update_procedure.h"
#include <windows.h>
#include <climits>
#include <cstdio>
#include <cstring>
#include "dialogs.h"
#include "env_table.h"
#include "file_copy.h"
#include "frame.h"
#include "install_record.h"
#include "path_split.h"
#include "progress_dialog.h"
#include "wide_text.h"

enum {
  MESSAGE_SIZE = 512,   // the failure message with a value of up to 255 bytes
  DELETE_KEYS = 9       // DELETE_1 .. DELETE_9
};

static struct {
  // The folder from "SaveDir": read into a registry-sized buffer, so a long folder is never
  // cut into the name of another one.
  char folder[REG_TEXT_SIZE];
  FreeSpaceProbe probe;  // tests only
} procedure;

static const char* const copy_keys[][2] = {
    {"COPYPAK_F", "COPYPAK_T"}, {"COPY1_F", "COPY1_T"}, {"COPY2_F", "COPY2_T"},
    {"COPY3_F", "COPY3_T"},     {"COPY4_F", "COPY4_T"}, {"COPY5_F", "COPY5_T"},
    {"COPY6_F", "COPY6_T"},     {"COPY7_F", "COPY7_T"}, {"COPY8_F", "COPY8_T"},
    {"COPY9_F", "COPY9_T"}};

void set_free_space_probe(FreeSpaceProbe probe) { procedure.probe = probe; }

// "NULL" in any letter case: nothing to do for the entry.
static int is_null_value(const char* value) {
  static const char null_text[] = "NULL";
  for (int i = 0; i < 4; i++) {
    char c = value[i];
    if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
    if (c != null_text[i]) return 0;
  }
  return value[4] == '\0';
}

int join_folder_path(char* out, const char* folder, const char* name, const char* suffix) {
  if (!suffix) suffix = "";
  size_t folder_len = strlen(folder), name_len = strlen(name), suffix_len = strlen(suffix);
  out[0] = '\0';
  if (folder_len + 1 + name_len + suffix_len >= PATH_TEXT_SIZE) return -1;
  memcpy(out, folder, folder_len);
  out[folder_len] = '\\';
  memcpy(out + folder_len + 1, name, name_len);
  memcpy(out + folder_len + 1 + name_len, suffix, suffix_len + 1);
  return 0;
}

// Deletes folder + "\" + name + suffix; a failure, or a path too long to form, is ignored.
static void delete_in_folder(const char* folder, const char* name, const char* suffix) {
  char path[PATH_TEXT_SIZE];
  wchar_t wide[PATH_TEXT_SIZE];
  if (join_folder_path(path, folder, name, suffix) != 0) return;
  if (cp932_to_wide(path, wide, PATH_TEXT_SIZE, WIDE_NAME) < 0) return;
  DeleteFileW(wide);
}

const char* target_folder(void) {
  if (reg_read_int(inifile_name(), inisection_name(), "Installed", 0) == 0) return nullptr;
  reg_read_string(inifile_name(), inisection_name(), "SaveDir", "(NULL)", procedure.folder,
                  REG_TEXT_SIZE);
  // An empty folder would put every file at the root of the current drive.
  if (strcmp(procedure.folder, "(NULL)") == 0 || procedure.folder[0] == '\0') return nullptr;
  return procedure.folder;
}

static void copy_failed_box(const char* source_value) {
  char message[MESSAGE_SIZE];
  snprintf(message, sizeof message,
           "ファイル[ %s ]のコピーに失敗しました\nディスク容量をチェックしてください",
           source_value);
  error_box(message);
}

int copy_pair(const char* folder, const char* source_key, const char* target_key) {
  char source[UPDATE_VALUE_SIZE], target[UPDATE_VALUE_SIZE];
  int source_found = env_string(source_key, source) == 0;
  int target_found = env_string(target_key, target) == 0;
  if (!source_found || !target_found) return 0;
  if (is_null_value(source) || is_null_value(target)) return 0;

  open_progress();
  char target_path[PATH_TEXT_SIZE];
  int copied = join_folder_path(target_path, folder, target, nullptr) == 0 &&
               copy_file(source, target_path, 0) == 1;
  if (copied) {
    // Attributes taken over from the source (read-only, hidden ...) are dropped.
    wchar_t wide[PATH_TEXT_SIZE];
    if (cp932_to_wide(target_path, wide, PATH_TEXT_SIZE, WIDE_NAME) >= 0)
      SetFileAttributesW(wide, FILE_ATTRIBUTE_ARCHIVE);
  } else {
    copy_failed_box(source);
  }
  close_progress();
  return copied ? 0 : 1;
}

int whole_mib(unsigned long long bytes) {
  unsigned long long mib = bytes / 1048576ull;
  return mib > (unsigned long long)INT_MAX ? INT_MAX : (int)mib;
}

int free_space_mib(const char* folder) {
  PathParts parts;
  split_path(folder, &parts);
  char root[PATH_TEXT_SIZE];
  snprintf(root, sizeof root, "%s\\", parts.drive);
  wchar_t wide[PATH_TEXT_SIZE];
  if (cp932_to_wide(root, wide, PATH_TEXT_SIZE, WIDE_NAME) < 0) return -1;
  ULARGE_INTEGER available, total, total_free;
  if (!GetDiskFreeSpaceExW(wide, &available, &total, &total_free)) return -1;
  return whole_mib(available.QuadPart);
}

static int measure(const char* folder) {
  return procedure.probe ? procedure.probe(folder) : free_space_mib(folder);
}

void run_update(void) {
  const char* folder = target_folder();
  if (!folder) {
    error_box("本体プログラムの位置を確定できませんでした。\n"
              "本体プログラムの再インストールを行ってください。");
    return;
  }
  int free_mib = measure(folder);
  while (free_mib < 0) {
    if (run_dialog("DRIVENOTREADY") != 1) return;
    free_mib = measure(folder);
  }
  if (free_mib < FREE_SPACE_MIN_MIB) {
    run_dialog("MOREDISKFREE");
    return;
  }

  int failed = 0;
  for (const auto& pair : copy_keys) failed |= copy_pair(folder, pair[0], pair[1]);

  for (int i = 1; i <= DELETE_KEYS; i++) {
    char key[16], value[UPDATE_VALUE_SIZE];
    snprintf(key, sizeof key, "DELETE_%d", i);
    if (env_string(key, value) != 0 || is_null_value(value)) continue;
    delete_in_folder(folder, value, nullptr);
  }

  failed |= copy_pair(folder, "COPYEXE_F_NP", "COPYEXE_T");
  if (failed) {
    error_box("アップデートに失敗しました");
    return;
  }

  char name[UPDATE_VALUE_SIZE];
  if (env_int0("DELCONFIG") != 0 && env_string("CONFIGNAME", name) == 0)
    delete_in_folder(folder, name, ".SAV");
  if (env_int0("DELSAVE") != 0 && env_string("SAVENAME", name) == 0) {
    for (int i = 0; i < SAVE_FILE_COUNT; i++) {
      char suffix[8];
      snprintf(suffix, sizeof suffix, "%02d.SAV", i);
      delete_in_folder(folder, name, suffix);
    }
  }
  run_dialog("MINIOK");
}
