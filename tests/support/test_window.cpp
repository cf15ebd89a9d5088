// The one main window of a test program.
#include "test_window.h"
#include "app_window.h"

HWND test_main_window(void) {
  static HWND created = nullptr;
  if (!created) created = create_main_window(GetModuleHandleW(nullptr), nullptr);
  set_main_window(created);
  return created;
}
