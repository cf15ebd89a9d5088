// Shared helpers of the screen tests.
#include "screen_fixture.h"
#include "frame.h"
#include "palette.h"
#include "screen_window.h"
#include "test_window.h"

HWND shown_main_window(void) {
  static HWND shown = nullptr;
  HWND hwnd = test_main_window();
  if (!shown) {
    init_palette(UPDATER_PALETTE_ENTRIES);
    init_screen_pages();
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    pump_messages();
    shown = hwnd;
  }
  return hwnd;
}

uint32_t test_colour(int index) {
  uint32_t red = index & 255, green = 255 - red, blue = (red * 37) & 255;
  return red << 16 | green << 8 | blue;
}

void set_test_entry(int index) {
  uint32_t colour = test_colour(index);
  set_palette_entry(index, colour >> 8 & 255, colour >> 16, colour & 255);
}

uint32_t rgb_entry(int index) {
  const RgbQuad& quad = palette_tables()->rgb[index];
  return (uint32_t)quad.red << 16 | quad.green << 8 | quad.blue;
}
