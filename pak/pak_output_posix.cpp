// Member files on Linux: names from the archive become UTF-8; the command line's folder is
// used as its bytes stand.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include "console_text.h"
#include "pak_output.h"

int pak_make_folder(const char* dir) {
  if (mkdir(dir, 0777) == 0) return 0;
  struct stat st;
  return errno == EEXIST && stat(dir, &st) == 0 && S_ISDIR(st.st_mode) ? 0 : -1;
}

FILE* pak_create_member_file(const char* dir, const char* name) {
  char utf8[1024];
  if (console_cp932_to_utf8(name, utf8, sizeof utf8) < 0) return nullptr;
  char path[4096];
  if (snprintf(path, sizeof path, "%s/%s", dir, utf8) >= int(sizeof path)) return nullptr;
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0666);
  if (fd < 0) return nullptr;
  FILE* file = fdopen(fd, "wb");
  if (!file) close(fd);
  return file;
}

int pak_name_from_argument(const char* arg, char* out, size_t size) {
  // The locale's UTF-8, as the terminal gives it; bytes that are no UTF-8 are taken as cp932
  // already.
  int n = console_utf8_to_cp932(arg, out, size);
  if (n >= 0) return n;
  size_t length = strlen(arg);
  if (length + 1 > size) return -1;
  memcpy(out, arg, length + 1);
  return int(length);
}
