// Helpers of the procedure tests. The progress dialog is kept hidden (a thread hook subclasses
// it as it is created), so that the robot, which answers any visible dialog of the process,
// only meets the boxes the procedure shows.
#include "procedure_fixture.h"
#include <algorithm>
#include <cstdio>
#include "env_table.h"
#include "install_record.h"
#include "robot.h"
#include "test_window.h"
#include "update_procedure.h"

enum { BOX_TIMEOUT_MS = 15000, RUN_TIMEOUT_MS = 60000 };

static struct {
  std::vector<int> free_values;
  int measured = 0;
  HHOOK hook = nullptr;
  WNDPROC progress_proc = nullptr;  // the progress dialog's own window procedure
} fixture;

static int scripted_free_space(const wchar_t*) {
  int index = std::min(fixture.measured, (int)fixture.free_values.size() - 1);
  fixture.measured++;
  return fixture.free_values[index];
}

// Keeps the progress dialog from ever being shown.
static LRESULT CALLBACK hidden_progress_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_WINDOWPOSCHANGING) ((WINDOWPOS*)lparam)->flags &= ~SWP_SHOWWINDOW;
  if (msg == WM_SHOWWINDOW && wparam) return 0;
  return CallWindowProcW(fixture.progress_proc, hwnd, msg, wparam, lparam);
}

static LRESULT CALLBACK creation_hook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_CREATEWND) {
    CBT_CREATEWNDW* create = (CBT_CREATEWNDW*)lparam;
    const wchar_t* caption = create->lpcs->lpszName;
    if (caption && !IS_INTRESOURCE(caption) && wcscmp(caption, L"ファイルコピー") == 0) {
      HWND hwnd = (HWND)wparam;
      fixture.progress_proc =
          (WNDPROC)SetWindowLongPtrW(hwnd, GWLP_WNDPROC, (LONG_PTR)hidden_progress_proc);
    }
  }
  return CallNextHookEx(fixture.hook, code, wparam, lparam);
}

void ProcedureTest::SetUp() {
  test_main_window();
  fixture.free_values = {100};
  fixture.measured = 0;
  set_free_space_probe(scripted_free_space);
  fixture.hook = SetWindowsHookExW(WH_CBT, creation_hook, nullptr, GetCurrentThreadId());
  ASSERT_NE(fixture.hook, nullptr);
  folder = unique_name("proc");
  ini = unique_name("KitProcTest");
  ASSERT_TRUE(make_folder(folder));
  ASSERT_TRUE(make_folder(folder + "\\src"));
  ASSERT_TRUE(make_folder(folder + "\\game"));
  std::string full = game_full_path();
  set_record("1", &full);
}

void ProcedureTest::TearDown() {
  set_free_space_probe(nullptr);
  if (fixture.hook) UnhookWindowsHookEx(fixture.hook);
  fixture.hook = nullptr;
  env_reset();
  install_names_reset();
  RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + widen(ini)).c_str());
  remove_tree(folder);
}

void ProcedureTest::set_record(const char* installed, const std::string* save_dir) {
  write_install_record(ini, installed, save_dir);
}

void ProcedureTest::set_record_wide(const std::wstring& save_dir) {
  write_install_record(ini, "1", nullptr);
  HKEY key;
  ASSERT_EQ(0, RegOpenKeyExW(HKEY_CURRENT_USER, (L"Software\\" + widen(ini) + L"\\Sec").c_str(), 0,
                             KEY_SET_VALUE, &key));
  EXPECT_EQ(0, RegSetValueExW(key, L"SaveDir", 0, REG_SZ, (const BYTE*)save_dir.c_str(),
                              DWORD((save_dir.size() + 1) * sizeof(wchar_t))));
  RegCloseKey(key);
}

void ProcedureTest::write_wide(const std::wstring& path, const std::string& data,
                               DWORD attributes) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  if (!data.empty()) {
    EXPECT_TRUE(WriteFile(file, data.data(), (DWORD)data.size(), &written, nullptr));
  }
  FILETIME time = day_time(0);
  EXPECT_TRUE(SetFileTime(file, &time, &time, &time));
  CloseHandle(file);
  if (attributes) {
    EXPECT_TRUE(SetFileAttributesW(path.c_str(), attributes));
  }
}

std::string ProcedureTest::wide_data(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(no file)";
  std::string data;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) data.append(buffer, got);
  CloseHandle(file);
  return data;
}

DWORD ProcedureTest::wide_attributes(const std::wstring& path) {
  return GetFileAttributesW(path.c_str());
}

std::vector<std::wstring> ProcedureTest::wide_listing(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L".."))
      names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::string ProcedureTest::game_full_path() const {
  wchar_t wide[MAX_PATH];
  EXPECT_GT(GetFullPathNameW(widen(folder + "\\game").c_str(), MAX_PATH, wide, nullptr), 0u);
  return narrow(wide);
}

void ProcedureTest::load_update(const std::string& lines) {
  std::string text = "INIFILE " + ini + "\nINISECTION Sec\n" + lines;
  std::string path = folder + "\\UPDATE.ENV";
  FILE* file = _wfopen(widen(path).c_str(), L"w+b");
  ASSERT_NE(file, nullptr);
  fwrite(text.data(), 1, text.size(), file);
  rewind(file);
  env_load_stream(file);
  fclose(file);
  install_names_reset();
}

void ProcedureTest::set_free_space(const std::vector<int>& values) {
  fixture.free_values = values;
  fixture.measured = 0;
}

int ProcedureTest::measurements() const { return fixture.measured; }

Seen robot_seen(void) {
  Seen seen;
  for (int i = 0; i < robot_record_count(); i++) {
    const RobotBox* box = robot_record(i);
    std::wstring caption = box->caption.wide;
    if (caption == L"ドライブ状態の確認")
      seen.push_back("DRIVENOTREADY");
    else if (caption == L"ディスク容量の確認")
      seen.push_back("MOREDISKFREE");
    else if (caption == L"アップデート終了")
      seen.push_back("MINIOK");
    else if (caption == L"ファイルコピー")
      seen.push_back("COPYING");
    else
      seen.push_back(std::string(box->icon == ROBOT_ICON_ERROR ? "error:" : "box:") +
                     (box->text_count ? box->texts[0].sjis : ""));
  }
  return seen;
}

Seen ProcedureTest::run(const std::vector<int>& buttons) {
  EXPECT_EQ(0, robot_start(buttons.data(), (int)buttons.size(), BOX_TIMEOUT_MS));
  run_update();
  EXPECT_EQ((int)buttons.size(), robot_wait(RUN_TIMEOUT_MS));
  return robot_seen();
}

std::vector<std::string> ProcedureTest::game_listing() const {
  return folder_listing(folder + "\\game");
}
