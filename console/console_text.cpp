// The platform-free half of the console text helpers: formatting and the cp932 path.
#include "console_text.h"
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include "frame.h"
#include "sjis.h"

enum { PRINT_TEXT_SIZE = 4096 };

void console_write(FILE* stream, const char* cp932) {
  // A cp932 character takes at most 3 UTF-8 bytes (U+FFFD included).
  size_t size = strlen(cp932) * 3 + 1;
  char* utf8 = static_cast<char*>(mem_alloc(size));
  if (console_cp932_to_utf8(cp932, utf8, size) >= 0) console_write_utf8(stream, utf8);
  mem_free(utf8);
}

void console_print(FILE* stream, const char* format, ...) {
  char text[PRINT_TEXT_SIZE];
  va_list args;
  va_start(args, format);
  int n = vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (n < 0) return;
  if (size_t(n) >= sizeof text) text[sjis_head_length(text, sizeof text - 1)] = 0;
  console_write(stream, text);
}
