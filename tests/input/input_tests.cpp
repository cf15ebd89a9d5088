// The input snapshot through messages sent to the main window: pointer mapping and clamping,
// button flags, and the table of keys held.
#include <gtest/gtest.h>
#include "app_window.h"
#include "input_state.h"
#include "test_window.h"

namespace {

HWND window(void) {
  static bool installed = false;
  HWND hwnd = test_main_window();
  if (!installed) {
    init_keyboard();
    init_mouse();
    installed = true;
  }
  return hwnd;
}

LPARAM at(int column, int row) { return MAKELPARAM(column, row); }

void set_shift(bool down) {
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_SHIFT] = down ? 0x80 : 0;
  SetKeyboardState(state);
}

TEST(Mouse, ClientPositionsMapToPageColumnsFromEightyAndClamp) {
  struct Case { int column, row, x, y; } cases[] = {
      {0, 0, 80, 0}, {479, 303, 559, 303}, {600, 399, 639, 399}, {0xFFFF, 0xFFFF, 639, 399},
  };
  for (const Case& c : cases) {
    SendMessageW(window(), WM_MOUSEMOVE, 0, at(c.column, c.row));
    EXPECT_EQ(c.x, mouse_state()->x) << c.column;
    EXPECT_EQ(c.y, mouse_state()->y) << c.row;
  }
}

TEST(Mouse, ButtonsFollowTheMessageNotJustTheFlags) {
  HWND hwnd = window();
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, at(10, 10));
  EXPECT_EQ(1, mouse_state()->left);
  SendMessageW(hwnd, WM_LBUTTONUP, MK_LBUTTON, at(10, 10));  // the bit still set in wParam
  EXPECT_EQ(0, mouse_state()->left);
  SendMessageW(hwnd, WM_RBUTTONDOWN, 0, at(10, 10));
  SendMessageW(hwnd, WM_MBUTTONDOWN, MK_RBUTTON, at(10, 10));
  EXPECT_EQ(1, mouse_state()->right);
  EXPECT_EQ(1, mouse_state()->middle);
  SendMessageW(hwnd, WM_MBUTTONUP, MK_RBUTTON | MK_MBUTTON, at(10, 10));
  EXPECT_EQ(0, mouse_state()->middle);
  EXPECT_EQ(1, mouse_state()->right);
  EXPECT_EQ(0, mouse_state()->left);
}

TEST(Mouse, DoubleClicksAreNotHandled) {
  HWND hwnd = window();
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, at(5, 6));
  MouseState before = *mouse_state();
  EXPECT_EQ(0, mouse_proc(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at(100, 100)));
  EXPECT_EQ(0, mouse_proc(hwnd, WM_RBUTTONDBLCLK, MK_RBUTTON, at(100, 100)));
  EXPECT_EQ(before.x, mouse_state()->x);
  EXPECT_EQ(before.left, mouse_state()->left);
  EXPECT_EQ(before.right, mouse_state()->right);
  EXPECT_EQ(1, mouse_proc(hwnd, WM_MOUSEMOVE, 0, at(1, 1)));
}

TEST(Mouse, ShutdownTakesTheCallbackOffTheChain) {
  HWND hwnd = window();
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, at(1, 2));
  mouse_system_end();
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, at(100, 200));
  EXPECT_EQ(81, mouse_state()->x);
  EXPECT_EQ(0, AddWndPorc(mouse_proc));  // it was gone; back for the other tests
}

TEST(Keyboard, TheTableFollowsSixtyNineKeys) {
  HWND hwnd = window();
  set_shift(false);
  int followed = 0;
  for (int code = 0; code < KEY_TABLE_SIZE; ++code) {
    SendMessageW(hwnd, WM_KEYDOWN, code, 0);
    followed += key_table()[code];
    SendMessageW(hwnd, WM_KEYUP, code, 0);
    EXPECT_EQ(0, key_table()[code]);
  }
  EXPECT_EQ(69, followed);
  SendMessageW(hwnd, WM_KEYDOWN, 0x39, 0);  // the digit 9 is not followed
  SendMessageW(hwnd, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(0, key_table()[0x39]);
  EXPECT_EQ(1, key_table()['A']);
  EXPECT_EQ(1, keyboard_proc(hwnd, WM_KEYDOWN, 0x90, 0));  // handled, changes nothing
  EXPECT_EQ(0, keyboard_proc(hwnd, WM_CHAR, 'a', 0));
  SendMessageW(hwnd, WM_KILLFOCUS, 0, 0);
  for (int code = 0; code < KEY_TABLE_SIZE; ++code) EXPECT_EQ(0, key_table()[code]) << code;
}

TEST(Keyboard, ShiftTabCountsAsBackspaceAndReleasingTabClearsBoth) {
  HWND hwnd = window();
  set_shift(true);
  SendMessageW(hwnd, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(1, key_table()[VK_BACK]);
  EXPECT_EQ(0, key_table()[VK_TAB]);
  set_shift(false);
  SendMessageW(hwnd, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(1, key_table()[VK_TAB]);
  SendMessageW(hwnd, WM_KEYUP, VK_TAB, 0);
  EXPECT_EQ(0, key_table()[VK_TAB]);
  EXPECT_EQ(0, key_table()[VK_BACK]);
}

}  // namespace
