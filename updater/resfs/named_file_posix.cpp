// POSIX file opening: "\" becomes "/" (a trail byte 0x5C stays), names keep their bytes.
#include <sys/stat.h>
#include <cstring>
#include "named_file.h"
#include "path_split.h"

FILE* open_named_file(const char* path, const char* mode) {
  char native[4096];
  char native_mode[8];
  size_t n = 0;
  for (const char* m = mode; *m && n + 1 < sizeof native_mode; ++m) {
    if (*m != 't') native_mode[n++] = *m;
  }
  native_mode[n] = 0;
  if (posix_path(path, native, sizeof native) != 0) return nullptr;
  FILE* stream = fopen(native, native_mode);
  if (!stream) return nullptr;
  struct stat st;
  if (fstat(fileno(stream), &st) != 0 || !S_ISREG(st.st_mode)) {  // Windows opens no folders
    fclose(stream);
    return nullptr;
  }
  return stream;
}

int64_t named_file_size(FILE* stream) {
  struct stat st;
  if (fstat(fileno(stream), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}
