// Entry of the Linux build: the tag file's path arrives in UTF-8 and is handed on as the
// tool's cp932 text (pack_take_tag_argument keeps a folder cp932 cannot hold as it is).
#include <cstdlib>
#include <cstring>
#include "gleaner.h"

int main(int argc, char** argv) {
  char* tag_path = nullptr;
  if (argc >= 2) {
    size_t size = strlen(argv[1]) + 1;  // cp932 is never longer than UTF-8
    tag_path = static_cast<char*>(malloc(size));
    if (!tag_path) return 1;
    pack_take_tag_argument(argv[1], tag_path, size);
    argv[1] = tag_path;
  }
  int rc = gleaner_run(argc, argv, platform_pack_io());
  free(tag_path);
  return rc;
}
