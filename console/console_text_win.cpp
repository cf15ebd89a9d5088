// Console text on Windows: conversions through UTF-16 with the kit's cp932 crossing; a console
// gets UTF-16 through WriteConsoleW (whatever its code page), a file or pipe gets UTF-8.
#include <windows.h>
#include <io.h>
#include <cstring>
#include "console_text.h"
#include "frame.h"
#include "sjis.h"
#include "wide_text.h"

enum { CP_SHIFT_JIS = 932 };

// cp932 to UTF-16 one character at a time, so that every invalid sequence becomes U+FFFD on
// every Windows (the system's own replacement differs: Wine gives U+30FB). `wide` has room
// for strlen(text) + 1 characters.
static void cp932_to_wide_replacing(const char* text, wchar_t* wide) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  int out = 0;
  while (*p) {
    int length = is_sjis_lead_byte(*p) && p[1] ? 2 : 1;
    wchar_t unit;
    if (MultiByteToWideChar(CP_SHIFT_JIS, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(p),
                            length, &unit, 1) != 1) {
      unit = 0xFFFD;
      length = 1;  // the second byte may begin the next character
    }
    wide[out++] = unit;
    p += length;
  }
  wide[out] = 0;
}

int console_cp932_to_utf8(const char* text, char* out, size_t size) {
  if (size == 0) return -1;
  out[0] = 0;
  size_t count = strlen(text) + 1;  // a cp932 byte gives at most one character
  wchar_t* wide = static_cast<wchar_t*>(mem_alloc(count * sizeof(wchar_t)));
  cp932_to_wide_replacing(text, wide);
  int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, int(size), nullptr, nullptr);
  mem_free(wide);
  if (n <= 0) {
    out[0] = 0;
    return -1;
  }
  return n - 1;
}

int console_utf8_to_cp932(const char* text, char* out, size_t size) {
  if (size == 0) return -1;
  out[0] = 0;
  int count = static_cast<int>(strlen(text)) + 1;
  wchar_t* wide = static_cast<wchar_t*>(mem_alloc(size_t(count) * sizeof(wchar_t)));
  int result = -1;
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide, count) > 0)
    result = wide_to_cp932(wide, out, int(size));
  mem_free(wide);
  if (result < 0) out[0] = 0;
  return result;
}

void console_write_utf8(FILE* stream, const char* utf8) {
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
    fputs(utf8, stream);  // redirected: the bytes as they are
    return;
  }
  int count = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (count <= 1) return;
  wchar_t* wide = static_cast<wchar_t*>(mem_alloc(size_t(count) * sizeof(wchar_t)));
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, count);
  fflush(stream);  // what stdio holds goes first
  DWORD written;
  WriteConsoleW(handle, wide, DWORD(count - 1), &written, nullptr);
  mem_free(wide);
}
