// Win32 file operations of the pack tool. Names are Shift-JIS bytes; they are converted from
// code page 932 to UTF-16 and opened with the wide-character functions, so the tool finds
// the right files whatever the system's ANSI code page is.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include "pack_io.h"
#include "wide_text.h"

namespace {

PackFile open_with(const char* path, DWORD access, DWORD share, DWORD disposition) {
  wchar_t wide[MAX_PATH * 4];
  if (cp932_to_wide(path, wide, MAX_PATH * 4, WIDE_NAME) < 0) return PACK_NO_FILE;
  HANDLE h = CreateFileW(wide, access, share, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
  return h == INVALID_HANDLE_VALUE ? PACK_NO_FILE : reinterpret_cast<PackFile>(h);
}

HANDLE handle_of(PackFile file) { return reinterpret_cast<HANDLE>(file); }

PackFile win_open_read(const char* path) {
  return open_with(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
}

PackFile win_create(const char* path) {
  return open_with(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
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

int win_remove(const char* path) {
  wchar_t wide[MAX_PATH * 4];
  if (cp932_to_wide(path, wide, MAX_PATH * 4, WIDE_NAME) < 0) return -1;
  return DeleteFileW(wide) ? 0 : -1;
}

void win_print(const char* text, size_t length) { fwrite(text, 1, length, stdout); }

const PackIo kWinIo = {win_open_read, win_create, win_file_size, win_read,  win_write,
                       win_close,     win_remove, realloc, free, win_print, '\\'};

}  // namespace

const PackIo* platform_pack_io(void) { return &kWinIo; }
