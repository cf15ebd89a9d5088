// Console text on Linux: the conversions are the kit's own cp932 <-> UTF-8 crossing (glibc's
// CP932 matches Windows' code page 932); the terminal takes UTF-8 as it is.
#include "console_text.h"
#include "utf8_text.h"

int console_cp932_to_utf8(const char* text, char* out, size_t size) {
  return cp932_to_utf8_shown(text, out, size);
}

int console_utf8_to_cp932(const char* text, char* out, size_t size) {
  return utf8_to_cp932(text, out, size);
}

void console_write_utf8(FILE* stream, const char* utf8) { fputs(utf8, stream); }
