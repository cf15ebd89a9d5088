// Console text on Linux: the conversions through iconv (glibc's CP932 matches Windows' code
// page 932, IBM extensions included); the terminal takes UTF-8 as it is.
#include <errno.h>
#include <iconv.h>
#include <cstring>
#include "console_text.h"

static const char REPLACEMENT[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The two converters, opened at first use and kept for the process (iconv_open is costly).
static struct {
  iconv_t to_utf8;   // CP932 -> UTF-8; (iconv_t)-1 when it could not be opened
  iconv_t to_cp932;  // UTF-8 -> CP932
  int opened;        // the fields above hold converters (or failures)
} g_iconv;

static iconv_t converter(bool to_utf8) {
  if (!g_iconv.opened) {
    g_iconv.to_utf8 = iconv_open("UTF-8", "CP932");
    g_iconv.to_cp932 = iconv_open("CP932", "UTF-8");
    g_iconv.opened = 1;
  }
  return to_utf8 ? g_iconv.to_utf8 : g_iconv.to_cp932;
}

// Converts with `cd`. Without a `replacement` the first invalid sequence fails (-1);
// with one, it takes the sequence's first byte's place and the conversion goes on.
static int convert(iconv_t cd, const char* text, char* out, size_t size, const char* replacement) {
  if (size == 0) return -1;
  out[0] = 0;
  if (cd == iconv_t(-1)) return -1;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
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
  if (result < 0) {
    out[0] = 0;
    return -1;
  }
  *put = 0;
  return static_cast<int>(put - out);
}

int console_cp932_to_utf8(const char* text, char* out, size_t size) {
  return convert(converter(true), text, out, size, REPLACEMENT);
}

int console_utf8_to_cp932(const char* text, char* out, size_t size) {
  return convert(converter(false), text, out, size, nullptr);
}

void console_write_utf8(FILE* stream, const char* utf8) { fputs(utf8, stream); }
