// The in-memory source behind load_env_text.
#include "env_text.h"
#include <cstring>
#include "env_table.h"
#include "text_reader.h"

namespace {

struct MemorySource {
  const std::string* text;
  size_t pos;
};

long memory_read(void* source, void* buffer, unsigned long size) {
  MemorySource* m = static_cast<MemorySource*>(source);
  size_t n = m->text->size() - m->pos;
  if (n > size) n = size;
  if (n > 7) n = 7;
  memcpy(buffer, m->text->data() + m->pos, n);
  m->pos += n;
  return static_cast<long>(n);
}

}  // namespace

void load_env_text(const std::string& text) {
  MemorySource source = {&text, 0};
  TextReader reader;
  text_reader_start(&reader, memory_read, &source);
  env_load_reader(&reader);
}
