// The WindowProcChain: 40 message callbacks consulted in slot order by main_wnd_proc. Removal
// leaves a hole and the next addition fills the lowest hole, so slot order is not always the
// order of registration.
#include "app_window.h"

static struct {
  WndProcCallback slots[WND_PROC_SLOTS];  // null = empty
  int initialised;                        // set by the first AddWndPorc
  int result;  // what main_wnd_proc returns for a handled message; 0 at each dispatch's start
} chain;

int AddWndPorc(WndProcCallback proc) {
  if (!chain.initialised) {
    for (int i = 0; i < WND_PROC_SLOTS; i++) chain.slots[i] = nullptr;
    chain.initialised = 1;
  }
  for (int i = 0; i < WND_PROC_SLOTS; i++)
    if (chain.slots[i] == proc) return 1;
  for (int i = 0; i < WND_PROC_SLOTS; i++) {
    if (!chain.slots[i]) {
      chain.slots[i] = proc;
      return 0;
    }
  }
  notice_box("AddWndPorc OverFlow!!!");
  return 1;
}

int remove_wnd_proc(WndProcCallback proc) {
  for (int i = 0; i < WND_PROC_SLOTS; i++) {
    if (chain.slots[i] == proc) {
      chain.slots[i] = nullptr;
      return 0;
    }
  }
  return 1;
}

void set_wnd_proc_result(int result) { chain.result = result; }

// Every callback sees every message, also after another one handled it. A callback that sends
// a message to the window re-enters here, and the nested dispatch resets the result.
LRESULT CALLBACK main_wnd_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (!chain.initialised) return DefWindowProcW(hwnd, msg, wparam, lparam);
  chain.result = 0;
  int handled = 0;
  for (int i = 0; i < WND_PROC_SLOTS; i++)
    if (chain.slots[i]) handled |= chain.slots[i](hwnd, msg, wparam, lparam);
  if (handled) return chain.result;
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}
