// Tag file line reading with text-mode conversions and the 259-byte piece rule.
#include "tag_reader.h"

void tag_reader_start(TagReader* reader, const PackIo* io, PackFile file) {
  reader->io = io;
  reader->file = file;
  reader->pos = reader->len = 0;
  reader->ended = 0;
}

// The next raw byte, or -1 at the end (or after a failure, which `ended` records).
static int peek_byte(TagReader* r) {
  if (r->pos == r->len) {
    if (r->ended) return -1;
    long n = r->io->read(r->file, r->buffer, sizeof r->buffer);
    if (n <= 0) {
      r->ended = n < 0 ? -1 : 1;
      return -1;
    }
    r->pos = 0;
    r->len = n;
  }
  return r->buffer[r->pos];
}

// The next byte of the text as a text-mode stream delivers it, or -1 at its end.
static int text_byte(TagReader* r) {
  int c = peek_byte(r);
  if (c < 0) return -1;
  if (c == 0x1A) {  // Ctrl-Z ends a text file
    if (!r->ended) r->ended = 1;
    r->pos = r->len;
    return -1;
  }
  ++r->pos;
  if (c == '\r' && peek_byte(r) == '\n') {
    ++r->pos;
    return '\n';
  }
  return c;
}

int tag_read_line(TagReader* r, char line[TAG_LINE_SIZE]) {
  int n = 0;
  while (n < TAG_LINE_SIZE - 1) {
    int c = text_byte(r);
    if (c < 0) break;
    line[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  line[n] = 0;
  if (r->ended < 0) return -1;
  if (n == 0) return 0;
  for (int i = 0; i < n; ++i) {
    if (static_cast<unsigned char>(line[i]) < 0x20) {
      line[i] = 0;
      break;
    }
  }
  return 1;
}
