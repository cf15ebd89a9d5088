// A read-back of a window's client area as the display shows it, for the tests that check
// what the updater paints (its own window in process, or updater.exe's from outside).
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

// The client area's pixels as 0xRRGGBB, row by row from the top.
struct ClientPixels {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

// Empty when `hwnd` is not a window.
ClientPixels capture_client(HWND hwnd);
