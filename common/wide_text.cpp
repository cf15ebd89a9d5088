// Code page 932 <-> UTF-16 with explicit code pages, never the ANSI code page.
#include "wide_text.h"
#include <windows.h>

enum { CP_SHIFT_JIS = 932 };

int cp932_to_wide(const char* text, wchar_t* out, int count, WideMode mode) {
  if (count <= 0) return -1;
  DWORD flags = mode == WIDE_NAME ? MB_ERR_INVALID_CHARS : 0;
  int n = MultiByteToWideChar(CP_SHIFT_JIS, flags, text, -1, out, count);
  if (n <= 0) {
    out[0] = 0;
    return -1;
  }
  return n - 1;
}

int wide_to_cp932(const wchar_t* text, char* out, int size) {
  if (size <= 0) return -1;
  // No best fit: a character without a cp932 form must fail, not become a look-alike
  // ("é" as "e" would name a different file).
  BOOL lossy = FALSE;
  int n = WideCharToMultiByte(CP_SHIFT_JIS, WC_NO_BEST_FIT_CHARS, text, -1, out, size, nullptr,
                              &lossy);
  if (n <= 0 || lossy) {
    out[0] = 0;
    return -1;
  }
  return n - 1;
}

int wide_to_cp932_shown(const wchar_t* text, char* out, int size) {
  if (size <= 0) return -1;
  int n = WideCharToMultiByte(CP_SHIFT_JIS, WC_NO_BEST_FIT_CHARS, text, -1, out, size, "?",
                              nullptr);
  if (n <= 0) {
    out[0] = 0;
    return -1;
  }
  return n - 1;
}
