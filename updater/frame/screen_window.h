// The Windows side of the screen pages: painting the shown page into the main window,
// repaint requests shifted by the centring offset, and keeping the window pinned.
#pragma once
#include <windows.h>
#include "display.h"
#include "screen_pages.h"

// Message callback of the page painter (WM_DESTROY, WM_MOVE, WM_SIZE, WM_PAINT,
// WM_WINDOWPOSCHANGING and the maximise command of WM_SYSCOMMAND).
int screen_paint_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// The client size as last reported by WM_SIZE (0 x 0 before).
SIZE screen_client_size(void);
