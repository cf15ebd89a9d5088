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

Capture capture_client(HWND hwnd) {
  Capture capture;
  RECT client;
  GetClientRect(hwnd, &client);
  capture.width = client.right;
  capture.height = client.bottom;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC window_dc = GetDC(hwnd);
  HDC memory_dc = CreateCompatibleDC(window_dc);
  HGDIOBJ previous = SelectObject(memory_dc, bitmap);
  BitBlt(memory_dc, 0, 0, capture.width, capture.height, window_dc, 0, 0, SRCCOPY);
  GdiFlush();
  const uint32_t* pixels = (const uint32_t*)bits;
  capture.pixels.resize((size_t)capture.width * capture.height);
  for (size_t i = 0; i < capture.pixels.size(); i++) capture.pixels[i] = pixels[i] & 0xFFFFFF;
  SelectObject(memory_dc, previous);
  DeleteDC(memory_dc);
  ReleaseDC(hwnd, window_dc);
  DeleteObject(bitmap);
  return capture;
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
