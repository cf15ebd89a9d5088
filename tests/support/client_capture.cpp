// Copies the client area through the window's device context into a 32-bit top-down section.
#include "client_capture.h"

ClientPixels capture_client(HWND hwnd) {
  ClientPixels capture;
  RECT client;
  if (!GetClientRect(hwnd, &client)) return capture;
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
  capture.pixels.assign(pixels, pixels + (size_t)capture.width * capture.height);
  for (uint32_t& pixel : capture.pixels) pixel &= 0xFFFFFF;
  SelectObject(memory_dc, previous);
  DeleteDC(memory_dc);
  ReleaseDC(hwnd, window_dc);
  DeleteObject(bitmap);
  return capture;
}
