// What the screen tests share: the test program's main window, shown with the palette and
// the screen pages set up, and the test colours of the palette entries.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>
#include "client_capture.h"

// The main window with init_palette(236) and init_screen_pages done and the window shown
// (480 x 304 client area); made once per process.
HWND shown_main_window(void);


// A colour for every entry the tests set: red = index, so no two entries look alike.
uint32_t test_colour(int index);
// set_palette_entry with test_colour(index).
void set_test_entry(int index);
// 0xRRGGBB of an entry of the RGB colour table.
uint32_t rgb_entry(int index);
