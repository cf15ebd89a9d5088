// Console text on Linux: the conversions through iconv (glibc's CP932 matches Windows' code
// page 932, IBM extensions included); the terminal takes UTF-8 as it is.
#include <errno.h>
#include <iconv.h>
#include <cstring>
#include "console_text.h"

static const char REPLACEMENT[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Converts with `strict`: stop at the first invalid sequence (-1), else replace it by
// `replacement` and go on past one byte.
static int convert(const char* to, const char* from, const char* text, char* out, size_t size,
                   const char* replacement) {
  if (size == 0) return -1;
  out[0] = 0;
  iconv_t cd = iconv_open(to, from);
  if (cd == iconv_t(-1)) return -1;
  char* in = const_cast<char*>(text);
  size_t in_left = strlen(text);
  char* put = out;
  size_t out_left = size - 1;
  int result = 0;
  while (in_left > 0) {
    if (iconv(cd, &in, &in_left, &put, &out_left) != size_t(-1)) break;
    if (errno != EILSEQ && errno != EINVAL) { result = -1; break; }  // E2BIG: no room
    if (!replacement) { result = -1; break; }
    size_t n = strlen(replacement);
    if (out_left < n) { result = -1; break; }
    memcpy(put, replacement, n);
    put += n;
    out_left -= n;
    ++in;
    --in_left;
  }
  if (result == 0 && iconv(cd, nullptr, nullptr, &put, &out_left) == size_t(-1)) result = -1;
  iconv_close(cd);
  if (result < 0) {
    out[0] = 0;
    return -1;
  }
  *put = 0;
  return static_cast<int>(put - out);
}

int console_cp932_to_utf8(const char* text, char* out, size_t size) {
  return convert("UTF-8", "CP932", text, out, size, REPLACEMENT);
}

int console_utf8_to_cp932(const char* text, char* out, size_t size) {
  return convert("CP932", "UTF-8", text, out, size, nullptr);
}

void console_write_utf8(FILE* stream, const char* utf8) { fputs(utf8, stream); }
