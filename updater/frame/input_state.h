// The input snapshot the framework keeps for screen logic: the pointer in page coordinates
// with its buttons, and the table of keys held down.
#pragma once
#include <windows.h>

enum { KEY_TABLE_SIZE = 128 };

struct MouseState {
  int x, y;
  int x_min, x_max, y_min, y_max;
  int left, right, middle;
};

const MouseState* mouse_state(void);
const unsigned char* key_table(void);  // 128 entries: 1 while the key is held, else 0

void init_keyboard(void);
void clear_keys(void);
int keyboard_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
void init_mouse(void);
int mouse_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
void mouse_system_end(void);
