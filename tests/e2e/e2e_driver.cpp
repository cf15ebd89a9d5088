// Driving the real updater.exe from another process: starting it with quiet standard handles,
// finding and reading its boxes (never the copy progress dialog), taking its client area off
// the screen, and the read-me viewer it opens. Used by the end-to-end tests and by the
// click-through tool of the demo and the start-up benchmark.
#include "e2e_driver.h"
#include <cstdio>
#include <utility>
#include "robot.h"

static void put_u32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = (char)(value >> (8 * i));
}

// Standard handles on NUL for the programs started: the updater and what the shell starts for it
// must not hold the test's output open after the test.
void quiet_startup(STARTUPINFOW* startup) {
  static HANDLE nul = INVALID_HANDLE_VALUE;
  if (nul == INVALID_HANDLE_VALUE) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      &inherit, OPEN_EXISTING, 0, nullptr);
  }
  startup->dwFlags |= STARTF_USESTDHANDLES;
  startup->hStdInput = startup->hStdOutput = startup->hStdError = nul;
}

bool start_updater(UpdaterRun* run, const std::wstring& program, const std::wstring& directory,
                   int show) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  quiet_startup(&startup);
  if (show != -1) {
    startup.dwFlags |= STARTF_USESHOWWINDOW;
    startup.wShowWindow = (WORD)show;
  }
  std::wstring line = L"\"" + program + L"\"";
  run->copying = nullptr;
  return CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                        directory.c_str(), &startup, &run->process) != 0;
}

HWND next_updater_box(UpdaterRun* run, std::string* seen, int timeout_ms, std::wstring* wide) {
  DWORD begin = GetTickCount();
  for (;;) {
    int left = timeout_ms - (int)(GetTickCount() - begin);
    if (left <= 0) return nullptr;
    if (WaitForSingleObject(run->process.hProcess, 0) == WAIT_OBJECT_0) return nullptr;  // ended
    HWND box = robot_find_box(run->process.dwProcessId, run->copying, left < 200 ? left : 200);
    if (!box) continue;
    RobotBox read;
    if (robot_read_box(box, &read) != 0) continue;
    if (wcscmp(read.caption.wide, L"ファイルコピー") == 0) {  // the progress dialog: not a box
      run->copying = box;
      continue;
    }
    RobotText line;
    const RobotText* text = nullptr;
    if (robot_control_text(box, 1023, &line) == 0)  // the confirmation line
      text = &line;
    else if (read.text_count)
      text = &read.texts[0];
    if (!read.caption.wide[0] && (!text || !text->wide[0])) {  // still being set up or torn down
      Sleep(50);
      continue;
    }
    *seen = std::string(read.caption.sjis) + "|" + (text ? text->sjis : "");
    if (wide) *wide = std::wstring(read.caption.wide) + L"|" + (text ? text->wide : L"");
    return box;
  }
}

DWORD finish_updater(UpdaterRun* run, int timeout_ms) {
  if (!run->process.hProcess) return STILL_ACTIVE;
  WaitForSingleObject(run->process.hProcess, timeout_ms);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(run->process.hProcess, &code);
  return code;
}

void end_updater(UpdaterRun* run) {
  if (!run->process.hProcess) return;
  if (WaitForSingleObject(run->process.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(run->process.hProcess, 99);
    WaitForSingleObject(run->process.hProcess, 10000);
  }
  CloseHandle(run->process.hProcess);
  CloseHandle(run->process.hThread);
  run->process = {};
}

struct VisibleSearch {
  DWORD process_id;
  HWND found;
};

static BOOL CALLBACK find_visible(HWND hwnd, LPARAM param) {
  VisibleSearch* search = (VisibleSearch*)param;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->process_id || !IsWindowVisible(hwnd)) return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND visible_window_of(DWORD process_id) {
  VisibleSearch search = {process_id, nullptr};
  EnumWindows(find_visible, (LPARAM)&search);
  return search.found;
}

static bool is_readme_window(HWND hwnd) {
  wchar_t name[32] = {};
  GetClassNameW(hwnd, name, 32);
  return wcscmp(name, L"Notepad") == 0;
}

// Counts the read-me viewer's windows, closing them when `close` is set.
static BOOL CALLBACK visit_readme(HWND hwnd, LPARAM param) {
  std::pair<int, bool>* visit = (std::pair<int, bool>*)param;
  if (is_readme_window(hwnd)) {
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

static BOOL CALLBACK find_readme(HWND hwnd, LPARAM param) {
  if (!is_readme_window(hwnd)) return TRUE;
  *(HWND*)param = hwnd;
  return FALSE;
}

std::wstring readme_caption(void) {
  HWND viewer = nullptr;
  EnumWindows(find_readme, (LPARAM)&viewer);
  wchar_t caption[MAX_PATH] = {};
  DWORD_PTR length = 0;
  if (viewer)
    SendMessageTimeoutW(viewer, WM_GETTEXT, MAX_PATH, (LPARAM)caption, SMTO_ABORTIFHUNG, 2000,
                        &length);
  return caption;
}

// Closes every viewer window, also one that the shell is still starting.
void close_readme_windows(void) {
  Sleep(300);
  DWORD begin = GetTickCount();
  while (readme_windows(true) != 0 && GetTickCount() - begin < 10000) Sleep(100);
}

bool save_screenshot(const ClientPixels& shot, const std::wstring& path) {
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
