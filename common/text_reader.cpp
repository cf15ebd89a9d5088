// Text-mode line reading over any byte source: the conversions of a Windows text-mode stream
// are done here, so the same bytes give the same lines on every platform.
#include "text_reader.h"

void text_reader_start(TextReader* reader, TextSourceRead read, void* source) {
  reader->read = read;
  reader->source = source;
  reader->pos = reader->len = 0;
  reader->ended = 0;
}

// The next raw byte, or -1 at the end (or after a failure, which `ended` records).
static int peek_byte(TextReader* r) {
  if (r->pos == r->len) {
    if (r->ended) return -1;
    long n = r->read(r->source, r->buffer, sizeof r->buffer);
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
static int text_byte(TextReader* r) {
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

int text_read_line(TextReader* r, char* line, int size) {
  int n = 0;
  while (n < size - 1) {
    int c = text_byte(r);
    if (c < 0) break;
    line[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  line[n] = 0;
  if (r->ended < 0) return -1;
  return n == 0 ? 0 : 1;
}

long text_read_stdio(void* source, void* buffer, unsigned long size) {
  FILE* stream = static_cast<FILE*>(source);
  size_t n = fread(buffer, 1, size, stream);
  if (n == 0 && ferror(stream)) return -1;
  return static_cast<long>(n);
}
