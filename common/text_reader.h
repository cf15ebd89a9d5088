// Reads text line by line the way fgets on a Windows text-mode stream does, on every platform
// alike: CR LF becomes LF, a Ctrl-Z byte ends the text, and a line longer than the buffer
// comes in pieces, each counting as a line of its own.
#pragma once
#include <cstdio>

// Reads up to `size` bytes into `buffer`: the count read, 0 at the end, -1 on a failure.
typedef long (*TextSourceRead)(void* source, void* buffer, unsigned long size);

struct TextReader {
  TextSourceRead read;
  void* source;
  unsigned char buffer[4096];
  long pos, len;  // unread bytes are buffer[pos .. len)
  int ended;      // 1 at the end of the text, -1 after a read failure
};

void text_reader_start(TextReader* reader, TextSourceRead read, void* source);

// Reads the next line as fgets(line, size, stream) does: at most size - 1 bytes, up to and
// including a line feed, then a terminating NUL. Returns 1 for a line, 0 at the end of the
// text, -1 when the source could not be read.
int text_read_line(TextReader* reader, char* line, int size);

// A TextSourceRead for a stdio stream opened in binary mode (`source` is the FILE*).
long text_read_stdio(void* source, void* buffer, unsigned long size);
