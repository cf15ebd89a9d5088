// Reads a tag file line by line the way a text-mode stream with a 260-byte line buffer does
// on Windows, on every platform alike (see text_reader.h).
#pragma once
#include "pack_io.h"
#include "text_reader.h"

enum { TAG_LINE_SIZE = 260 };

struct TagReader {
  const PackIo* io;
  PackFile file;
  TextReader text;
};

void tag_reader_start(TagReader* reader, const PackIo* io, PackFile file);

// Takes the next piece into `line`, cut at its first byte below 0x20. Returns 1 for a line,
// 0 at the end of the text, -1 when the file could not be read.
int tag_read_line(TagReader* reader, char line[TAG_LINE_SIZE]);
