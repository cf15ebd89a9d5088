// Helpers of the end-to-end tests: scratch folders, the installation record, the update's
// files, GLEANER and the updater as processes, and the robot on the updater's boxes.
#include "e2e_fixture.h"
#include <cstdio>
#include <utility>
#include "robot.h"

// Where the build put the two programs (Linux paths, reached through Wine's drive Z:).
static std::wstring built_program(const char* unix_path) {
  std::wstring path = L"Z:" + widen(unix_path);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

void EndToEnd::SetUp() {
  folder = unique_name("e2e");
  medium = folder + "\\medium";
  game = folder + "\\game";
  stage = folder + "\\stage";
  ini = unique_name("KitE2e");
  for (const std::string& dir : {folder, medium, game, stage}) ASSERT_TRUE(make_folder(dir));
  ASSERT_TRUE(CopyFileW(built_program(UPDATER_EXE).c_str(),
                        widen(on_medium("updater.exe")).c_str(), FALSE));
  std::string full = full_path(game);
  set_record("1", &full);
}

// Counts the read-me viewer's windows, closing them when `close` is set.
static BOOL CALLBACK visit_readme(HWND hwnd, LPARAM param) {
  std::pair<int, bool>* visit = (std::pair<int, bool>*)param;
  wchar_t name[32] = {};
  GetClassNameW(hwnd, name, 32);
  if (wcscmp(name, L"Notepad") == 0) {
    ++visit->first;
    if (visit->second) PostMessageW(hwnd, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

static int readme_windows(bool close) {
  std::pair<int, bool> visit(0, close);
  EnumWindows(visit_readme, (LPARAM)&visit);
  return visit.first;
}

bool readme_opened(int timeout_ms) {
  DWORD begin = GetTickCount();
  while (readme_windows(false) == 0) {
    if ((int)(GetTickCount() - begin) >= timeout_ms) return false;
    Sleep(50);
  }
  return true;
}

// Closes every viewer window, also one that the shell is still starting.
void close_readme_windows(void) {
  Sleep(300);
  DWORD begin = GetTickCount();
  while (readme_windows(true) != 0 && GetTickCount() - begin < 10000) Sleep(100);
}

void EndToEnd::TearDown() {
  if (process.hProcess) {
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process.hProcess, 99);
      WaitForSingleObject(process.hProcess, 10000);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  close_readme_windows();
  RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + widen(ini)).c_str());
  remove_tree(folder);
}

std::string EndToEnd::full_path(const std::string& path) const {
  wchar_t wide[MAX_PATH];
  EXPECT_GT(GetFullPathNameW(widen(path).c_str(), MAX_PATH, wide, nullptr), 0u);
  return narrow(wide);
}

void EndToEnd::set_record(const char* installed, const std::string* save_dir) {
  std::wstring base = L"Software\\" + widen(ini);
  RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
  HKEY key;
  ASSERT_EQ(0, RegCreateKeyExW(HKEY_CURRENT_USER, (base + L"\\Sec").c_str(), 0, nullptr, 0,
                               KEY_ALL_ACCESS, nullptr, &key, nullptr));
  auto set = [&](const wchar_t* value, const std::wstring& text) {
    EXPECT_EQ(0, RegSetValueExW(key, value, 0, REG_SZ, (const BYTE*)text.c_str(),
                                DWORD((text.size() + 1) * sizeof(wchar_t))));
  };
  if (installed) set(L"Installed", widen(installed));
  if (save_dir) set(L"SaveDir", widen(*save_dir));
  RegCloseKey(key);
}

void EndToEnd::write_env(const std::string& where, const std::string& lines) {
  write_file(where + "\\UPDATE.ENV", "INIFILE " + ini + "\r\nINISECTION Sec\r\n" + lines);
}

static void put_u32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = (char)(value >> (8 * i));
}

// A 400 x 280 picture of 8-bit indices: bands of 20 pixels, colour i of the table being red i,
// green 255 - i, blue 128. The top-left 20 x 20 pixels have index 0 (red 0, green 255).
static std::string splash_picture(void) {
  const int width = 400, height = 280, colours = 220;
  std::string bmp(54 + colours * 4 + width * height, '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  put_u32(bmp, 2, (uint32_t)bmp.size());
  put_u32(bmp, 10, 54 + colours * 4);
  put_u32(bmp, 14, 40);
  put_u32(bmp, 18, width);
  put_u32(bmp, 22, height);
  bmp[26] = 1;
  bmp[28] = 8;
  put_u32(bmp, 46, colours);
  for (int i = 0; i < colours; ++i) {
    bmp[54 + i * 4 + 0] = (char)128;        // blue
    bmp[54 + i * 4 + 1] = (char)(255 - i);  // green
    bmp[54 + i * 4 + 2] = (char)i;          // red
  }
  size_t pixels = 54 + colours * 4;
  for (int y = 0; y < height; ++y)  // stored bottom-up
    for (int x = 0; x < width; ++x)
      bmp[pixels + (height - 1 - y) * width + x] = (char)((x / 20 + y / 20) % colours);
  return bmp;
}

void EndToEnd::write_splash(const std::string& where) {
  write_file(where + "\\update.bmp", splash_picture());
  std::string record(134, '\0');
  record[4] = 4;  // payload size
  write_file(where + "\\update.itw", record + "DATA");
}

// Standard handles on NUL for the programs started: the updater and what the shell starts for it
// must not hold the test's output open after the test.
static void quiet_startup(STARTUPINFOW* startup) {
  static HANDLE nul = INVALID_HANDLE_VALUE;
  if (nul == INVALID_HANDLE_VALUE) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      &inherit, OPEN_EXISTING, 0, nullptr);
  }
  startup->dwFlags |= STARTF_USESTDHANDLES;
  startup->hStdInput = startup->hStdOutput = startup->hStdError = nul;
}

// Runs `command_line` in `directory` and returns its exit code (-1 when it did not start).
static int run_program(const std::wstring& command_line, const std::string& directory) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  quiet_startup(&startup);
  PROCESS_INFORMATION info = {};
  std::wstring line = command_line;
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                      widen(directory).c_str(), &startup, &info))
    return -1;
  WaitForSingleObject(info.hProcess, 60000);
  DWORD code = (DWORD)-1;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return (int)code;
}

int EndToEnd::pack(void) {
  // The archive goes beside the tag file's folder's sibling: ">..\medium" from the stage.
  write_file(in_stage("UPDATE.TAG"), ">..\\medium\r\nUPDATE.ENV\r\nupdate.bmp\r\nupdate.itw\r\n");
  std::wstring line = L"\"" + built_program(GLEANER_EXE) + L"\" UPDATE.TAG";
  return run_program(line, stage);
}

bool EndToEnd::start(const std::string& directory) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  quiet_startup(&startup);
  std::wstring program = widen(full_path(on_medium("updater.exe")));
  std::wstring line = L"\"" + program + L"\"";
  copying = nullptr;
  return CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                        widen(directory.empty() ? medium : directory).c_str(), &startup,
                        &process) != 0;
}

HWND EndToEnd::next_box(std::string* seen, int timeout_ms) {
  DWORD begin = GetTickCount();
  for (;;) {
    int left = timeout_ms - (int)(GetTickCount() - begin);
    if (left <= 0) return nullptr;
    HWND box = robot_find_box(process.dwProcessId, copying, left < 200 ? left : 200);
    if (!box) continue;
    RobotBox read;
    if (robot_read_box(box, &read) != 0) continue;
    if (wcscmp(read.caption.wide, L"ファイルコピー") == 0) {  // the progress dialog: not a box
      copying = box;
      continue;
    }
    std::string text;
    RobotText line;
    if (robot_control_text(box, 1023, &line) == 0)  // the confirmation line
      text = line.sjis;
    else if (read.text_count)
      text = read.texts[0].sjis;
    if (!read.caption.wide[0] && text.empty()) {  // still being set up (or torn down)
      Sleep(50);
      continue;
    }
    *seen = std::string(read.caption.sjis) + "|" + text;
    return box;
  }
}

std::string EndToEnd::answer(int id) {
  std::string seen;
  HWND box = next_box(&seen);
  if (!box) return "";
  EXPECT_EQ(0, robot_press(box, id)) << seen;
  robot_wait_gone(box, 10000);
  return seen;
}

DWORD EndToEnd::finish(int timeout_ms) {
  if (!process.hProcess) return STILL_ACTIVE;
  WaitForSingleObject(process.hProcess, timeout_ms);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process.hProcess, &code);
  return code;
}

struct WindowCount {
  DWORD process_id;
  int count;
};

static BOOL CALLBACK count_visible(HWND hwnd, LPARAM param) {
  WindowCount* search = (WindowCount*)param;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->process_id && IsWindowVisible(hwnd)) ++search->count;
  return TRUE;
}

int EndToEnd::visible_windows(void) const {
  WindowCount search = {process.dwProcessId, 0};
  EnumWindows(count_visible, (LPARAM)&search);
  return search.count;
}

Screenshot capture_client(HWND hwnd) {
  Screenshot shot;
  RECT client;
  if (!GetClientRect(hwnd, &client)) return shot;
  POINT origin = {0, 0};
  ClientToScreen(hwnd, &origin);
  shot.width = client.right;
  shot.height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const uint32_t* source = (const uint32_t*)bits;
  shot.pixels.assign(source, source + (size_t)shot.width * shot.height);
  for (uint32_t& pixel : shot.pixels) pixel &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

bool save_screenshot(const Screenshot& shot, const std::wstring& path) {
  int stride = (shot.width * 3 + 3) & ~3;
  std::string bmp(54 + (size_t)stride * shot.height, '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  put_u32(bmp, 2, (uint32_t)bmp.size());
  put_u32(bmp, 10, 54);
  put_u32(bmp, 14, 40);
  put_u32(bmp, 18, shot.width);
  put_u32(bmp, 22, shot.height);
  bmp[26] = 1;
  bmp[28] = 24;
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) {
      uint32_t pixel = shot.at(x, y);
      size_t at = 54 + (size_t)(shot.height - 1 - y) * stride + x * 3;
      bmp[at] = (char)(pixel & 0xFF);
      bmp[at + 1] = (char)((pixel >> 8) & 0xFF);
      bmp[at + 2] = (char)((pixel >> 16) & 0xFF);
    }
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (!file) return false;
  bool written = fwrite(bmp.data(), 1, bmp.size(), file) == bmp.size();
  return fclose(file) == 0 && written;
}

struct ClassSearch {
  DWORD process_id;
  HWND found;
};

static BOOL CALLBACK find_updater(HWND hwnd, LPARAM param) {
  ClassSearch* search = (ClassSearch*)param;
  wchar_t name[32] = {};
  GetClassNameW(hwnd, name, 32);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->process_id || _wcsicmp(name, L"WX7_SS_CLASS") != 0) return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND updater_window(DWORD process_id) {
  ClassSearch search = {process_id, nullptr};
  EnumWindows(find_updater, (LPARAM)&search);
  return search.found;
}
