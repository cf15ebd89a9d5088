// Windows file opening: the name goes from code page 932 to UTF-16 and to _wfopen, so the
// right file opens whatever the ANSI code page is.
#include <io.h>
#include <cstdio>
#include "named_file.h"
#include "wide_text.h"

FILE* open_named_file(const char* path, const char* mode) {
  wchar_t wide_path[1040];
  wchar_t wide_mode[8];
  int n = 0;
  for (const char* m = mode; *m && n + 1 < 8; ++m) wide_mode[n++] = *m == 't' ? L'b' : *m;
  wide_mode[n] = 0;
  if (cp932_to_wide(path, wide_path, 1040, WIDE_NAME) < 0) return nullptr;
  return _wfopen(wide_path, wide_mode);
}

int64_t named_file_size(FILE* stream) {
  return static_cast<int64_t>(_filelengthi64(_fileno(stream)));
}
