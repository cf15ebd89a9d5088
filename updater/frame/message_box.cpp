// The three message boxes of the updater. Each is owned by the main window and captioned with
// its title at that moment (empty before the title is set or the window exists).
#include "app_window.h"
#include "frame_text.h"

enum { CAPTION_CHARS = 256 };

static int show_box(const char* text, UINT type, int to_front) {
  HWND owner = main_window();
  wchar_t caption[CAPTION_CHARS] = {};
  if (owner) GetWindowTextW(owner, caption, CAPTION_CHARS);
  wchar_t wide[FRAME_TEXT_CHARS];
  frame_wide_text(text, wide, FRAME_TEXT_CHARS);
  if (to_front && owner) SetForegroundWindow(owner);
  return MessageBoxW(owner, wide, caption, type);
}

void error_box(const char* text) { show_box(text, MB_ICONERROR | MB_OK, 1); }

void notice_box(const char* text) { show_box(text, MB_OK, 0); }

bool confirm_box(const char* text) { return show_box(text, MB_OKCANCEL, 1) == IDOK; }
