// Win32 file operations of the pack tool. Names are Shift-JIS bytes; they are converted from
// code page 932 to UTF-16 and opened with the wide-character functions, so the tool finds
// the right files whatever the system's ANSI code page is. The tag file's folder, when cp932
// cannot hold it, is kept here in UTF-16 as the command line gave it.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include "pack_io.h"
#include "wide_text.h"

namespace {

enum { WIDE_PATH_CHARS = MAX_PATH * 4 };

static struct {
  wchar_t folder[WIDE_PATH_CHARS];  // the tag file's folder as given, separator at its end
  size_t stand_in_bytes;            // length of its stand-in in the tool's text; 0: none kept
} tag_folder;

// The wide path for the tool's `path` (see pack_io.h for `folder_bytes`); -1 when the path
// is not valid cp932 or does not fit.
int wide_path(const char* path, size_t folder_bytes, wchar_t* wide) {
  size_t used = 0;
  if (folder_bytes != 0 && folder_bytes == tag_folder.stand_in_bytes &&
      folder_bytes <= strlen(path)) {
    used = wcslen(tag_folder.folder);
    wmemcpy(wide, tag_folder.folder, used);
    path += folder_bytes;
  }
  return cp932_to_wide(path, wide + used, int(WIDE_PATH_CHARS - used), WIDE_NAME) < 0 ? -1 : 0;
}

PackFile open_with(const char* path, size_t folder_bytes, DWORD access, DWORD share,
                   DWORD disposition) {
  wchar_t wide[WIDE_PATH_CHARS];
  if (wide_path(path, folder_bytes, wide) != 0) return PACK_NO_FILE;
  HANDLE h = CreateFileW(wide, access, share, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
  return h == INVALID_HANDLE_VALUE ? PACK_NO_FILE : reinterpret_cast<PackFile>(h);
}

HANDLE handle_of(PackFile file) { return reinterpret_cast<HANDLE>(file); }

PackFile win_open_read(const char* path, size_t folder_bytes) {
  return open_with(path, folder_bytes, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                   OPEN_EXISTING);
}

PackFile win_create(const char* path, size_t folder_bytes) {
  return open_with(path, folder_bytes, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
}

int64_t win_file_size(PackFile file) {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle_of(file), &size)) return -1;
  return size.QuadPart;
}

long win_read(PackFile file, void* buffer, unsigned long size) {
  DWORD got = 0;
  if (!ReadFile(handle_of(file), buffer, size, &got, NULL)) return -1;
  return static_cast<long>(got);
}

int win_write(PackFile file, const void* data, unsigned long size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    DWORD done = 0;
    if (!WriteFile(handle_of(file), p, size, &done, NULL) || done == 0) return -1;
    p += done;
    size -= done;
  }
  return 0;
}

int win_close(PackFile file) { return CloseHandle(handle_of(file)) ? 0 : -1; }

int win_remove(const char* path, size_t folder_bytes) {
  wchar_t wide[WIDE_PATH_CHARS];
  if (wide_path(path, folder_bytes, wide) != 0) return -1;
  return DeleteFileW(wide) ? 0 : -1;
}

void win_print(const char* text, size_t length) { fwrite(text, 1, length, stdout); }

size_t win_tag_folder_bytes(void) { return tag_folder.stand_in_bytes; }

const PackIo kWinIo = {win_open_read, win_create, win_file_size, win_read,
                       win_write,     win_close,  win_remove,    realloc,
                       free,          win_print,  win_tag_folder_bytes, '\\'};

}  // namespace

const PackIo* platform_pack_io(void) { return &kWinIo; }

int pack_take_tag_argument(const wchar_t* argument, char* out, size_t size) {
  tag_folder.folder[0] = 0;
  tag_folder.stand_in_bytes = 0;
  if (size == 0) return -1;
  int room = size > 0x7FFFFFFF ? 0x7FFFFFFF : int(size);
  if (wide_to_cp932(argument, out, room) >= 0) return 0;
  size_t length = wcslen(argument), folder_length = 0;
  for (size_t i = 0; i < length; ++i)
    if (argument[i] == L'\\' || argument[i] == L'/') folder_length = i + 1;
  if (folder_length > 0 && folder_length < WIDE_PATH_CHARS) {
    wmemcpy(tag_folder.folder, argument, folder_length);
    tag_folder.folder[folder_length] = 0;
    int shown = wide_to_cp932_shown(tag_folder.folder, out, room);
    if (shown >= 0 && wide_to_cp932(argument + folder_length, out + shown, room - shown) >= 0) {
      tag_folder.stand_in_bytes = size_t(shown);
      return 0;
    }
    tag_folder.folder[0] = 0;
  }
  out[0] = 0;  // a file name cp932 cannot hold: no file is opened
  return -1;
}
