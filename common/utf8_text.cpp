// Code page 932 <-> UTF-8 with iconv (glibc's "CP932" table, the one Windows uses).
#include "utf8_text.h"
#include <errno.h>
#include <iconv.h>
#include <cstring>
#include "sjis.h"

enum Direction { TO_UTF8, TO_CP932 };

// The two converters, opened on first use and kept for the process: opening one costs far
// more than converting a name, and the pack tool converts a few for every file it opens.
static struct {
  iconv_t cd[2];  // by Direction; 0 until opened
  int tried[2];   // 1 once an open was attempted
} converters;

// Converts `length` bytes of `text` in `direction` into `out` and terminates it. Without a
// `replacement` any invalid sequence fails; with one, the replacement takes the place of the
// sequence's first byte and the conversion goes on. Returns the bytes written without the
// terminator, or -1 (invalid input, or no room).
static int convert(Direction direction, const char* text, size_t length, char* out, size_t size,
                   const char* replacement = nullptr) {
  if (size == 0) return -1;
  out[0] = 0;
  if (!converters.tried[direction]) {
    converters.tried[direction] = 1;
    iconv_t cd = direction == TO_UTF8 ? iconv_open("UTF-8", "CP932") : iconv_open("CP932", "UTF-8");
    converters.cd[direction] = cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd;
  }
  iconv_t cd = converters.cd[direction];
  if (!cd) return -1;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  char* in = const_cast<char*>(text);
  char* dst = out;
  size_t in_left = length, out_left = size - 1;  // one byte kept for the terminator
  for (;;) {
    size_t done = iconv(cd, &in, &in_left, &dst, &out_left);
    // iconv counts the characters it replaced; these two tables replace none, but a
    // conversion that reports any is refused all the same.
    if (done != size_t(-1) && done == 0 && in_left == 0) break;
    size_t n = replacement ? strlen(replacement) : 0;
    if (done != size_t(-1) || (errno != EILSEQ && errno != EINVAL) || !replacement ||
        out_left < n) {
      out[0] = 0;
      return -1;
    }
    memcpy(dst, replacement, n);
    dst += n;
    out_left -= n;
    ++in;
    --in_left;
  }
  *dst = 0;
  return static_cast<int>(dst - out);
}

int cp932_to_utf8(const char* text, char* out, size_t size) {
  return convert(TO_UTF8, text, strlen(text), out, size);
}

int cp932_to_utf8_shown(const char* text, char* out, size_t size) {
  return convert(TO_UTF8, text, strlen(text), out, size, "\xEF\xBF\xBD");  // U+FFFD
}

int utf8_to_cp932(const char* text, char* out, size_t size) {
  size_t length = strlen(text);
  int n = convert(TO_CP932, text, length, out, size);
  if (n < 0) return -1;
  // Read the result back one character at a time, each against its own bytes of `text`.
  size_t at = 0;
  for (int i = 0; i < n;) {
    int bytes = is_sjis_lead_byte(static_cast<unsigned char>(out[i])) ? 2 : 1;
    char one[3] = {out[i], bytes == 2 ? out[i + 1] : '\0', '\0'};
    char back[8];
    int m = cp932_to_utf8(one, back, sizeof back);
    if (m <= 0 || at + size_t(m) > length || memcmp(back, text + at, size_t(m)) != 0) {
      out[0] = 0;
      return -1;
    }
    at += size_t(m);
    i += bytes;
  }
  return n;
}

// Bytes of the UTF-8 character at `p`: 1 to 4, or 0 when `p` starts no valid character.
static size_t utf8_char_bytes(const unsigned char* p) {
  size_t bytes = p[0] < 0x80 ? 1 : p[0] >= 0xC2 && p[0] <= 0xDF ? 2
               : p[0] >= 0xE0 && p[0] <= 0xEF ? 3 : p[0] >= 0xF0 && p[0] <= 0xF4 ? 4 : 0;
  for (size_t i = 1; i < bytes; ++i)
    if ((p[i] & 0xC0) != 0x80) return 0;
  return bytes;
}

int is_utf8(const char* text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    size_t bytes = utf8_char_bytes(p);
    if (bytes == 0) return 0;
    p += bytes;
  }
  return 1;
}

int utf8_to_cp932_shown(const char* text, char* out, size_t size) {
  if (size == 0) return -1;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  size_t used = 0;
  out[0] = 0;
  while (*p) {
    size_t bytes = utf8_char_bytes(p);
    char one[5] = {}, shown[3] = "?";
    if (bytes > 0) {
      memcpy(one, p, bytes);
      if (utf8_to_cp932(one, shown, sizeof shown) < 0) strcpy(shown, "?");
    }
    size_t n = strlen(shown);
    if (used + n >= size) return -1;
    memcpy(out + used, shown, n);
    out[used += n] = 0;
    p += bytes ? bytes : 1;
  }
  return static_cast<int>(used);
}
