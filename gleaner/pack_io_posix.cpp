// POSIX file operations of the pack tool. Names are passed to the file system as the bytes
// they are, with "\" turned into "/" (a trail byte 0x5C is left alone), so a tag file written
// for Windows packs the same files here.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "pack_io.h"
#include "path_split.h"

namespace {

PackFile posix_open_read(const char* path) {
  char native[4096];
  if (posix_path(path, native, sizeof native) != 0) return PACK_NO_FILE;
  int fd = open(native, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return PACK_NO_FILE;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {  // a directory is no member
    close(fd);
    return PACK_NO_FILE;
  }
  return fd;
}

PackFile posix_create(const char* path) {
  char native[4096];
  if (posix_path(path, native, sizeof native) != 0) return PACK_NO_FILE;
  int fd = open(native, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd < 0 ? PACK_NO_FILE : fd;
}

int64_t posix_file_size(PackFile file) {
  struct stat st;
  if (fstat(static_cast<int>(file), &st) != 0) return -1;
  return st.st_size;
}

long posix_read(PackFile file, void* buffer, unsigned long size) {
  for (;;) {
    ssize_t n = read(static_cast<int>(file), buffer, size);
    if (n >= 0) return static_cast<long>(n);
    if (errno != EINTR) return -1;
  }
}

int posix_write(PackFile file, const void* data, unsigned long size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = write(static_cast<int>(file), p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    p += n;
    size -= static_cast<unsigned long>(n);
  }
  return 0;
}

int posix_close(PackFile file) { return close(static_cast<int>(file)) == 0 ? 0 : -1; }

int posix_remove(const char* path) {
  char native[4096];
  if (posix_path(path, native, sizeof native) != 0) return -1;
  return unlink(native) == 0 ? 0 : -1;
}

void posix_print(const char* text, size_t length) { fwrite(text, 1, length, stdout); }

const PackIo kPosixIo = {posix_open_read, posix_create, posix_file_size, posix_read, posix_write,
                         posix_close,     posix_remove, realloc, free, posix_print, '/'};

}  // namespace

const PackIo* platform_pack_io(void) { return &kPosixIo; }
