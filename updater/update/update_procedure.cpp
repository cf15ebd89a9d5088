// run_update and its steps: the target folder from the installation record, the drive and
// space checks, then the step list of the description walked in order: the copies with the
// progress dialog, the deletions, and after full success the configuration and save files.
// Names reach Windows through the wide functions.
#include "update_procedure.h"
#include <windows.h>
#include <cstdio>
#include <cwchar>
#include "dialogs.h"
#include "file_copy.h"
#include "frame.h"
#include "install_record.h"
#include "path_split.h"
#include "progress_dialog.h"
#include "wide_text.h"

enum {
  MESSAGE_SIZE = 512  // the failure message with a value of up to 255 bytes
};

static struct {
  // The folder from "SaveDir" as the registry holds it: registry-sized, so a long folder is
  // never cut into the name of another one, and in UTF-16, so a name that Shift-JIS cannot
  // hold (accented or Chinese letters) still names it.
  wchar_t folder[REG_TEXT_SIZE];
  UpdateSteps steps;           // the description's steps, listed once per run
  long long source_bytes[UPDATE_STEP_MAX], target_bytes[UPDATE_STEP_MAX];  // for the peak
  FreeSpaceProbe probe;        // tests only
} procedure;

void set_free_space_probe(FreeSpaceProbe probe) { procedure.probe = probe; }

int join_folder_path(wchar_t* out, const wchar_t* folder, const char* name) {
  wchar_t wide_name[PATH_TEXT_SIZE];
  size_t folder_len = wcslen(folder);
  out[0] = 0;
  int name_len = cp932_to_wide(name, wide_name, PATH_TEXT_SIZE, WIDE_NAME);
  if (name_len < 0 || folder_len + 1 + (size_t)name_len >= PATH_TEXT_SIZE) return -1;
  wmemcpy(out, folder, folder_len);
  out[folder_len] = L'\\';
  wmemcpy(out + folder_len + 1, wide_name, (size_t)name_len + 1);
  return 0;
}

// Deletes folder + "\" + name; a failure, or a path too long to form, is ignored.
static void delete_in_folder(const wchar_t* folder, const char* name) {
  wchar_t path[PATH_TEXT_SIZE];
  if (join_folder_path(path, folder, name) != 0) return;
  DeleteFileW(path);
}

const wchar_t* target_folder(void) {
  if (reg_read_int(inifile_name(), inisection_name(), "Installed", 0) == 0) return nullptr;
  reg_read_wide_string(inifile_name(), inisection_name(), "SaveDir", L"(NULL)",
                       procedure.folder);
  // An empty folder would put every file at the root of the current drive.
  if (wcscmp(procedure.folder, L"(NULL)") == 0 || procedure.folder[0] == 0) return nullptr;
  return procedure.folder;
}

static void copy_failed_box(const char* source_value) {
  char message[MESSAGE_SIZE];
  snprintf(message, sizeof message,
           "ファイル[ %s ]のコピーに失敗しました\nディスク容量をチェックしてください",
           source_value);
  error_box(message);
}

// One copy step: 0 when copied, 1 when it failed (after its message box).
static int run_copy_step(const wchar_t* folder, const UpdateStep* step) {
  open_progress();
  wchar_t target_path[PATH_TEXT_SIZE];
  int copied = join_folder_path(target_path, folder, step->target) == 0 &&
               copy_file_wide_target(step->source, target_path, 0) == 1;
  // Attributes taken over from the source (read-only, hidden ...) are dropped.
  if (copied)
    SetFileAttributesW(target_path, FILE_ATTRIBUTE_ARCHIVE);
  else
    copy_failed_box(step->source);
  close_progress();
  return copied ? 0 : 1;
}

int copy_pair(const wchar_t* folder, const char* source_key, const char* target_key) {
  UpdateStep step;
  if (!copy_step(source_key, target_key, &step)) return 0;
  return run_copy_step(folder, &step);
}

// The size of the file at `path`, or -1 when there is none (or a folder) or it cannot be
// asked.
static long long file_bytes(const wchar_t* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return -1;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  return (long long)(((unsigned long long)data.nFileSizeHigh << 32) | data.nFileSizeLow);
}

unsigned long long measured_peak_bytes(const wchar_t* folder, const UpdateSteps* steps) {
  for (int i = 0; i < steps->count; i++) {
    const UpdateStep* step = &steps->step[i];
    wchar_t path[PATH_TEXT_SIZE];
    procedure.source_bytes[i] = -1;
    int named = cp932_to_wide(step->source, path, PATH_TEXT_SIZE, WIDE_NAME) >= 0;
    if (step->kind == STEP_COPY && named) procedure.source_bytes[i] = file_bytes(path);
    procedure.target_bytes[i] =
        join_folder_path(path, folder, step->target) == 0 ? file_bytes(path) : -1;
  }
  return update_peak_bytes(steps, procedure.source_bytes, procedure.target_bytes);
}

static int measure(const wchar_t* folder) {
  return procedure.probe ? procedure.probe(folder) : free_space_mib(folder);
}

void run_update(void) {
  const wchar_t* folder = target_folder();
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
  // Every replacing copy holds the whole new file beside the old one until it takes its
  // place: an update that cannot reach its end does not start.
  UpdateSteps* steps = &procedure.steps;
  list_update_steps(steps);
  if (!room_for_update(free_mib, measured_peak_bytes(folder, steps))) {
    run_dialog("MOREDISKFREE");
    return;
  }

  int failed = 0;
  for (int i = 0; i < steps->count; i++) {
    const UpdateStep* step = &steps->step[i];
    if (step->final) continue;
    if (step->kind == STEP_COPY)
      failed |= run_copy_step(folder, step);
    else
      delete_in_folder(folder, step->target);
  }
  if (failed) {
    error_box("アップデートに失敗しました");
    return;
  }
  for (int i = 0; i < steps->count; i++)
    if (steps->step[i].final) delete_in_folder(folder, steps->step[i].target);
  run_dialog("MINIOK");
}
