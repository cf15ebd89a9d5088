// POSIX file operations of the pack tool. Linux names are UTF-8: each part of a path ("\"
// and "/" both separate, a trail byte 0x5C excepted) is converted from cp932 to UTF-8. For
// names written by older tools a part is taken as the bytes it is when it is not valid
// cp932, or when its UTF-8 form does not exist in its folder while those bytes do. The tag
// file's folder, when cp932 cannot hold it, is kept here as the command line gave it.
// The one file the tool creates is the archive, named after the tag file: a new one gets its
// name in the form the tag file's name had on the command line (UTF-8, or the bytes as they
// stand when that name was taken so), so "ü.TAG" packs into "ü.PAK" and an older script
// that passes cp932 bytes gets its archive under cp932 bytes, as before.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "pack_io.h"
#include "path_split.h"
#include "utf8_text.h"

namespace {

enum { NATIVE_PATH_SIZE = 4096 };

static struct {
  char folder[NATIVE_PATH_SIZE];  // the tag file's folder as given (UTF-8), "/" at its end
  size_t stand_in_bytes;          // length of its stand-in in the tool's text; 0: none kept
  int as_it_stands;               // 1 when the tag file's path was taken as its bytes
} tag_folder;

// How a part that exists in neither form is named: in UTF-8, or as its bytes.
enum NewName { NEW_IN_UTF8, NEW_AS_BYTES };

int name_exists(const char* path) {
  struct stat st;
  return lstat(path, &st) == 0;
}

// Appends one part of a path (cp932, no "/") to the native path `out` (`*used` bytes so
// far): its UTF-8 form, or its bytes as they stand (see the file's header); `new_name` says
// which when neither exists. -1 when it does not fit.
int append_part(const char* part, NewName new_name, char* out, size_t* used) {
  char utf8[NATIVE_PATH_SIZE];
  const char* chosen = part;
  if (cp932_to_utf8(part, utf8, sizeof utf8) >= 0) {
    chosen = utf8;
    if (strcmp(utf8, part) != 0 && *used + strlen(utf8) < NATIVE_PATH_SIZE &&
        *used + strlen(part) < NATIVE_PATH_SIZE) {
      // The bytes are looked up only when the UTF-8 form is missing and they decide.
      strcpy(out + *used, utf8);
      if (!name_exists(out)) {
        strcpy(out + *used, part);
        if (new_name == NEW_AS_BYTES || name_exists(out)) chosen = part;
      }
    }
  }
  size_t n = strlen(chosen);
  if (*used + n >= NATIVE_PATH_SIZE) return -1;
  memcpy(out + *used, chosen, n + 1);
  *used += n;
  return 0;
}

// The folder of the last path looked up: its tool's text (after posix_path, "/" at its end,
// and whether the kept folder went before it) and its native path. The members of a tag
// file mostly share one folder, which is then looked up once and not at every open.
static struct {
  char text[NATIVE_PATH_SIZE];
  int after_kept;
  char native[NATIVE_PATH_SIZE];
} last_folder;

// The file system's path for the tool's `path` (see pack_io.h for `folder_bytes`), in `out`
// of NATIVE_PATH_SIZE bytes; `last` says how its last part is named when it is new. -1 when
// it does not fit.
int native_path(const char* path, size_t folder_bytes, NewName last, char* out) {
  size_t used = 0;
  out[0] = 0;
  int after_kept = folder_bytes != 0 && folder_bytes == tag_folder.stand_in_bytes &&
                   folder_bytes <= strlen(path);
  if (after_kept) {
    used = strlen(tag_folder.folder);
    memcpy(out, tag_folder.folder, used + 1);
    path += folder_bytes;
  }
  char text[NATIVE_PATH_SIZE];
  if (posix_path(path, text, sizeof text) != 0) return -1;
  // "/" is never a trail byte, so the parts can be cut at every "/".
  char* name = strrchr(text, '/');
  name = name ? name + 1 : text;
  char saved = *name;
  *name = 0;
  if (after_kept == last_folder.after_kept && strcmp(text, last_folder.text) == 0) {
    used = strlen(last_folder.native);
    memcpy(out, last_folder.native, used + 1);
  } else {
    for (char* part = text; *part;) {
      char* slash = strchr(part, '/');
      *slash = 0;
      if (append_part(part, NEW_IN_UTF8, out, &used) != 0) return -1;
      *slash = '/';
      if (used + 1 >= NATIVE_PATH_SIZE) return -1;
      out[used++] = '/';
      out[used] = 0;
      part = slash + 1;
    }
    memcpy(last_folder.text, text, strlen(text) + 1);
    memcpy(last_folder.native, out, used + 1);
    last_folder.after_kept = after_kept;
  }
  *name = saved;
  return append_part(name, last, out, &used);
}

PackFile posix_open_read(const char* path, size_t folder_bytes) {
  char native[NATIVE_PATH_SIZE];
  if (native_path(path, folder_bytes, NEW_IN_UTF8, native) != 0) return PACK_NO_FILE;
  int fd = open(native, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return PACK_NO_FILE;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {  // a directory is no member
    close(fd);
    return PACK_NO_FILE;
  }
  return fd;
}

PackFile posix_create(const char* path, size_t folder_bytes) {
  char native[NATIVE_PATH_SIZE];
  NewName last = tag_folder.as_it_stands ? NEW_AS_BYTES : NEW_IN_UTF8;
  if (native_path(path, folder_bytes, last, native) != 0) return PACK_NO_FILE;
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

int posix_remove(const char* path, size_t folder_bytes) {
  char native[NATIVE_PATH_SIZE];
  if (native_path(path, folder_bytes, NEW_IN_UTF8, native) != 0) return -1;
  return unlink(native) == 0 ? 0 : -1;
}

void posix_print(const char* text, size_t length) { fwrite(text, 1, length, stdout); }

size_t posix_tag_folder_bytes(void) { return tag_folder.stand_in_bytes; }

const PackIo kPosixIo = {posix_open_read, posix_create, posix_file_size, posix_read,
                         posix_write,     posix_close,  posix_remove,    realloc,
                         free,            posix_print,  posix_tag_folder_bytes, '/'};

}  // namespace

const PackIo* platform_pack_io(void) { return &kPosixIo; }

// The argument is taken as UTF-8, the encoding of the names it meets on the file system,
// whatever the locale says, so a run under LANG=C finds the same files.
int pack_take_tag_argument(const char* argument, char* out, size_t size) {
  tag_folder.folder[0] = 0;
  tag_folder.stand_in_bytes = 0;
  tag_folder.as_it_stands = 0;
  memset(&last_folder, 0, sizeof last_folder);  // a new run looks its folders up afresh
  if (size == 0) return -1;
  if (utf8_to_cp932(argument, out, size) >= 0) return 0;
  // UTF-8 has no trail byte "/" or "\": the last one ends the folder.
  size_t length = strlen(argument), folder_length = 0;
  for (size_t i = 0; i < length; ++i)
    if (argument[i] == '/' || argument[i] == '\\') folder_length = i + 1;
  // Bytes that are not UTF-8 are an older script's cp932: the whole path stands as it is.
  if (folder_length > 0 && folder_length < sizeof tag_folder.folder && is_utf8(argument)) {
    for (size_t i = 0; i < folder_length; ++i)  // as posix_path does for every other path
      tag_folder.folder[i] = argument[i] == '\\' ? '/' : argument[i];
    tag_folder.folder[folder_length] = 0;
    int shown = utf8_to_cp932_shown(tag_folder.folder, out, size);
    if (shown >= 0 && utf8_to_cp932(argument + folder_length, out + shown, size - size_t(shown)) >= 0) {
      tag_folder.stand_in_bytes = size_t(shown);
      return 0;
    }
    tag_folder.folder[0] = 0;
  }
  if (length >= size) {
    out[0] = 0;
    return -1;
  }
  memcpy(out, argument, length + 1);  // as it stands: the file operations take such bytes
  tag_folder.as_it_stands = 1;
  return 0;
}
