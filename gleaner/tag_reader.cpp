// Tag file line reading: text-mode lines of at most 259 bytes, each cut at its first
// control character.
#include "tag_reader.h"

static long read_pack_file(void* source, void* buffer, unsigned long size) {
  TagReader* reader = static_cast<TagReader*>(source);
  return reader->io->read(reader->file, buffer, size);
}

void tag_reader_start(TagReader* reader, const PackIo* io, PackFile file) {
  reader->io = io;
  reader->file = file;
  text_reader_start(&reader->text, read_pack_file, reader);
}

int tag_read_line(TagReader* r, char line[TAG_LINE_SIZE]) {
  int result = text_read_line(&r->text, line, TAG_LINE_SIZE);
  if (result != 1) return result;
  for (int i = 0; line[i]; ++i) {
    if (static_cast<unsigned char>(line[i]) < 0x20) {
      line[i] = 0;
      break;
    }
  }
  return 1;
}
