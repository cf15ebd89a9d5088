// The main window: its class "WX7_SS_CLASS", its creation at a 480 x 304 client area, the
// record of its handle, its title and the rectangle it is pinned to after start-up.
#include "app_window.h"
#include "frame_text.h"
#include "wide_text.h"

enum { TITLE_CHARS = 256 };

static struct {
  HWND main;     // the main window, null until created
  RECT pinned;   // outer rectangle at the end of start-up
  int is_pinned; // 1 once pin_window_rect ran
} window_state;

void set_main_window(HWND hwnd) { window_state.main = hwnd; }

HWND main_window(void) { return window_state.main; }

HWND create_main_window(HINSTANCE instance, HINSTANCE previous) {
  wchar_t class_name[CLASS_NAME_CHARS + 1];
  cp932_to_wide(MAIN_WINDOW_CLASS, class_name, CLASS_NAME_CHARS + 1, WIDE_NAME);
  if (!previous) {
    WNDCLASSW wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW;
    wc.lpfnWndProc = main_wnd_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(MAIN_ICON_ID));
    wc.hCursor = LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = nullptr;  // the screen pages paint the whole client area
    wc.lpszMenuName = L"WX7_IMENU";  // no such menu resource: the window has no menu bar
    wc.lpszClassName = class_name;
    RegisterClassW(&wc);  // a failure shows as a failed creation below
  }
  // The outer size is computed as if the window had a menu bar, though it has none.
  RECT rect = {0, 0, MAIN_CLIENT_WIDTH, MAIN_CLIENT_HEIGHT};
  AdjustWindowRect(&rect, MAIN_WINDOW_STYLE, TRUE);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HWND hwnd = CreateWindowExW(0, class_name, L"", MAIN_WINDOW_STYLE, CW_USEDEFAULT, CW_USEDEFAULT,
                              width, height, nullptr, nullptr, instance, nullptr);
  // Windows gives every overlapped window a caption and a dialog frame, which that estimate
  // does not quite match (480 x 304 asked, 476 x 300 got under Wine). Grow the window by what
  // the client area lacks, so the screen page shows whole on every system and theme.
  RECT client;
  if (hwnd && GetClientRect(hwnd, &client)) {
    int dx = MAIN_CLIENT_WIDTH - client.right, dy = MAIN_CLIENT_HEIGHT - client.bottom;
    if (dx || dy)
      SetWindowPos(hwnd, nullptr, 0, 0, width + dx, height + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  set_main_window(hwnd);
  return hwnd;
}

void set_main_window_title(const char* title) {
  wchar_t wide[TITLE_CHARS];
  frame_wide_text(title, wide, TITLE_CHARS);
  SetWindowTextW(window_state.main, wide);
}

// The show command comes from whoever started the program (a shortcut set to run minimised or
// maximised, start /min, a launcher). Minimised is honoured: the pinned rectangle is the
// normal one, so a restore brings the whole splash back. Maximised is not: the window has
// one size. The system may take the start's show command for the first ShowWindow in place
// of ours, hence the second look.
void show_main_window(int show) {
  HWND hwnd = window_state.main;
  if (show == SW_SHOWMAXIMIZED || show == SW_MAXIMIZE) show = SW_SHOWNORMAL;
  ShowWindow(hwnd, show);
  if (IsZoomed(hwnd)) ShowWindow(hwnd, SW_RESTORE);
}

void pin_window_rect(RECT rect) {
  window_state.pinned = rect;
  window_state.is_pinned = 1;
}

int window_pinned(RECT* rect) {
  if (rect) *rect = window_state.pinned;
  return window_state.is_pinned;
}
