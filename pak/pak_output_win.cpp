// Member files on Windows: the folder and the names go from cp932 to UTF-16 (the command line
// arrived as UTF-16 and was turned into cp932 at the entry).
#include <windows.h>
#include <cstring>
#include <cwchar>
#include "pak_output.h"
#include "wide_text.h"

enum { WIDE_PATH_SIZE = 1040 };

int pak_make_folder(const char* dir) {
  wchar_t wide[WIDE_PATH_SIZE];
  if (cp932_to_wide(dir, wide, WIDE_PATH_SIZE, WIDE_NAME) < 0) return -1;
  if (CreateDirectoryW(wide, nullptr)) return 0;
  DWORD attributes = GetFileAttributesW(wide);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : -1;
}

FILE* pak_create_member_file(const char* dir, const char* name) {
  wchar_t wide_dir[WIDE_PATH_SIZE], wide_name[WIDE_PATH_SIZE], path[2 * WIDE_PATH_SIZE];
  if (cp932_to_wide(dir, wide_dir, WIDE_PATH_SIZE, WIDE_NAME) < 0) return nullptr;
  if (cp932_to_wide(name, wide_name, WIDE_PATH_SIZE, WIDE_NAME) < 0) return nullptr;
  swprintf(path, 2 * WIDE_PATH_SIZE, L"%ls\\%ls", wide_dir, wide_name);
  // A link or junction under the member's name would take the data elsewhere.
  DWORD attributes = GetFileAttributesW(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return nullptr;
  return _wfopen(path, L"wb");
}

int pak_name_from_argument(const char* arg, char* out, size_t size) {
  size_t length = strlen(arg);
  if (length + 1 > size) return -1;
  memcpy(out, arg, length + 1);
  return int(length);
}
