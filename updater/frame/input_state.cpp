// The input snapshot: the pointer in page coordinates with its buttons, and the keys held.
// Both callbacks consume the messages they handle.
#include "input_state.h"
#include "app_window.h"
#include "screen_pages.h"

// The window shows the page from this column on (the client area is centred on the page).
enum { MOUSE_COLUMN_SHIFT = 80 };

static MouseState g_mouse = {320, 200, 0, SCREEN_WIDTH - 1, 0, SCREEN_HEIGHT - 1, 0, 0, 0};
static unsigned char g_keys[KEY_TABLE_SIZE];

// 1 for the keys the table follows: Backspace, Tab, Clear, Enter, Esc, Space to the arrows,
// Insert to the digit 8 (not 9), 0x40 and the letters, and the numeric keypad.
static bool key_followed(unsigned code) {
  return code == 0x08 || code == 0x09 || code == 0x0C || code == 0x0D || code == 0x1B ||
         (code >= 0x20 && code <= 0x28) || (code >= 0x2D && code <= 0x38) ||
         (code >= 0x40 && code <= 0x5A) || (code >= 0x60 && code <= 0x6F);
}

const MouseState* mouse_state(void) { return &g_mouse; }
const unsigned char* key_table(void) { return g_keys; }

void clear_keys(void) {
  for (int i = 0; i < KEY_TABLE_SIZE; ++i) g_keys[i] = 0;
}

void init_keyboard(void) {
  clear_keys();
  AddWndPorc(keyboard_proc);
}

int keyboard_proc(HWND, UINT msg, WPARAM wparam, LPARAM) {
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      clear_keys();
      return 1;
    case WM_KEYDOWN: {
      WPARAM code = wparam;
      if (code == VK_TAB && GetKeyState(VK_SHIFT) < 0) code = VK_BACK;  // Shift+Tab counts as 8
      if (code < KEY_TABLE_SIZE) g_keys[code] = key_followed((unsigned)code) ? 1 : 0;
      return 1;
    }
    case WM_KEYUP:
      if (wparam == VK_TAB) {
        g_keys[VK_TAB] = 0;
        g_keys[VK_BACK] = 0;
      } else if (wparam < KEY_TABLE_SIZE) {
        g_keys[wparam] = 0;
      }
      return 1;
    default:
      return 0;
  }
}

void init_mouse(void) {
  AddWndPorc(mouse_proc);
  add_system_end(mouse_system_end);
}

void mouse_system_end(void) { remove_wnd_proc(mouse_proc); }

int mouse_proc(HWND, UINT msg, WPARAM wparam, LPARAM lparam) {
  WPARAM flags = wparam;
  switch (msg) {
    case WM_MOUSEMOVE: break;
    case WM_LBUTTONDOWN: flags |= MK_LBUTTON; break;
    case WM_LBUTTONUP: flags &= ~(WPARAM)MK_LBUTTON; break;
    case WM_RBUTTONDOWN: flags |= MK_RBUTTON; break;
    case WM_RBUTTONUP: flags &= ~(WPARAM)MK_RBUTTON; break;
    case WM_MBUTTONDOWN: flags |= MK_MBUTTON; break;
    case WM_MBUTTONUP: flags &= ~(WPARAM)MK_MBUTTON; break;
    default: return 0;
  }
  g_mouse.left = g_mouse.right = g_mouse.middle = 0;
  int column = (int)(lparam & 0xFFFF);
  int row = (int)((lparam >> 16) & 0xFFFF);
  int x = column * SCREEN_WIDTH / screen_width() + MOUSE_COLUMN_SHIFT;
  int y = row * SCREEN_HEIGHT / screen_height();
  if (x > g_mouse.x_max) x = g_mouse.x_max;
  if (x < g_mouse.x_min) x = g_mouse.x_min;
  if (y > g_mouse.y_max) y = g_mouse.y_max;
  if (y < g_mouse.y_min) y = g_mouse.y_min;
  g_mouse.x = x;
  g_mouse.y = y;
  g_mouse.left = (flags & MK_LBUTTON) ? 1 : 0;
  g_mouse.right = (flags & MK_RBUTTON) ? 1 : 0;
  g_mouse.middle = (flags & MK_MBUTTON) ? 1 : 0;
  return 1;
}
