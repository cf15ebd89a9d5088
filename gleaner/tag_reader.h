// Reads a tag file line by line the way a text-mode stream with a 260-byte line buffer does
// on Windows, on every platform alike: CR LF becomes LF, a Ctrl-Z byte ends the text, and a
// line longer than 259 bytes comes in pieces, each counting as a line of its own.
#pragma once
#include "pack_io.h"

enum { TAG_LINE_SIZE = 260 };

struct TagReader {
  const PackIo* io;
  PackFile file;
  unsigned char buffer[4096];
  long pos, len;  // unread bytes are buffer[pos .. len)
  int ended;      // 1 at the end of the text, -1 after a read failure
};

void tag_reader_start(TagReader* reader, const PackIo* io, PackFile file);

// Takes the next piece into `line`, cut at its first byte below 0x20. Returns 1 for a line,
// 0 at the end of the text, -1 when the file could not be read.
int tag_read_line(TagReader* reader, char line[TAG_LINE_SIZE]);
