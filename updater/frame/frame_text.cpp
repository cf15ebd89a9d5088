// cp932 -> UTF-16 for the texts the frame shows, keeping the head of a text too long to fit.
#include "frame_text.h"
#include <string.h>
#include "sjis.h"
#include "wide_text.h"

void frame_wide_text(const char* text, wchar_t* out, int count) {
  if (count <= 0) return;
  if (count > FRAME_TEXT_CHARS) count = FRAME_TEXT_CHARS;
  if (cp932_to_wide(text, out, count, WIDE_TEXT) >= 0) return;
  // n bytes never give more than n characters; the cut falls between characters.
  char head[FRAME_TEXT_CHARS];
  size_t n = sjis_head_length(text, (size_t)count - 1);
  memcpy(head, text, n);
  head[n] = 0;
  cp932_to_wide(head, out, count, WIDE_TEXT);
}
