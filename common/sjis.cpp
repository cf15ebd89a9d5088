// Shift-JIS lead-byte test, single-byte upper-casing and the case-insensitive comparison.
#include "sjis.h"
#include <cstring>

int is_sjis_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

void upper_single_bytes(char* text) {
  unsigned char* p = reinterpret_cast<unsigned char*>(text);
  while (*p) {
    if (is_sjis_lead_byte(*p)) {
      if (p[1] == 0) return;  // a lone lead byte at the end stays as it is
      p += 2;
      continue;
    }
    if (*p >= 'a' && *p <= 'z') *p = static_cast<unsigned char>(*p - 'a' + 'A');
    ++p;
  }
}

// Takes one character from `*p` and returns its comparison value; advances `*p` past it.
// The terminator (or a lead byte right before it) gives 0 and does not advance.
static unsigned next_compare_value(const unsigned char** p) {
  const unsigned char* s = *p;
  if (s[0] == 0) return 0;
  if (is_sjis_lead_byte(s[0])) {
    if (s[1] == 0) return 0;
    *p = s + 2;
    return sjis_upper_double(static_cast<uint16_t>(s[0] << 8 | s[1]));
  }
  *p = s + 1;
  if (s[0] >= 'A' && s[0] <= 'Z') return s[0] - 'A' + 'a';
  return s[0];
}

int sjis_icompare(const char* a, const char* b) {
  const unsigned char* pa = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* pb = reinterpret_cast<const unsigned char*>(b);
  for (;;) {
    unsigned va = next_compare_value(&pa);
    unsigned vb = next_compare_value(&pb);
    if (va != vb) return va < vb ? -1 : 1;
    if (va == 0) return 0;
  }
}

// Bytes of the character that starts at `p`: 2 for a lead byte with a byte after it, else 1.
static size_t char_bytes(const unsigned char* p) { return is_sjis_lead_byte(p[0]) && p[1] ? 2 : 1; }

size_t sjis_head_length(const char* text, size_t max_bytes) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  size_t length = 0;
  while (p[length]) {
    size_t step = char_bytes(p + length);
    if (length + step > max_bytes) break;
    length += step;
  }
  return length;
}

size_t sjis_tail_start(const char* text, size_t max_bytes) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  size_t length = strlen(text), start = 0;
  while (length - start > max_bytes) start += char_bytes(p + start);
  return start;
}
