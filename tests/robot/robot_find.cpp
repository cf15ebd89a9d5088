// Finding the robot's boxes: visible top-level windows of the dialog class "#32770",
// optionally of one process, polled until they appear or vanish.
#include <wchar.h>
#include "robot.h"

enum { POLL_MS = 20 };

struct BoxSearch {
  DWORD process_id;  // 0: any
  HWND skip;
  HWND found;
};

static BOOL CALLBACK match_box(HWND hwnd, LPARAM param) {
  BoxSearch* search = (BoxSearch*)param;
  if (hwnd == search->skip || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  if (wcscmp(name, L"#32770") != 0) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (search->process_id && pid != search->process_id) return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND robot_find_box(DWORD process_id, HWND skip, int timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    BoxSearch search = {process_id, skip, nullptr};
    EnumWindows(match_box, (LPARAM)&search);
    if (search.found) return search.found;
    if ((int)(GetTickCount() - start) >= timeout_ms) return nullptr;
    Sleep(POLL_MS);
  }
}

int robot_wait_gone(HWND box, int timeout_ms) {
  DWORD start = GetTickCount();
  while (IsWindow(box) && IsWindowVisible(box)) {
    if ((int)(GetTickCount() - start) >= timeout_ms) return -1;
    Sleep(POLL_MS);
  }
  return 0;
}
