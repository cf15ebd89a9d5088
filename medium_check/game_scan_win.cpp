// Scanning the game folder on Windows through the wide functions, with the attributes the
// system reports.
#include <windows.h>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include "console_text.h"
#include "game_folder.h"
#include "game_scan.h"

enum {
  SCAN_DEPTH_MAX = 32,
  WIDE_PATH_SIZE = 32768,
  KEPT_ATTRIBUTES =
      GAME_READONLY | GAME_HIDDEN | GAME_SYSTEM | GAME_FOLDER | GAME_ARCHIVE | GAME_NORMAL
};

static int to_wide(const char* utf8, wchar_t* out, int count) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, out, count) > 0 ? 0 : -1;
}

FILE* open_utf8_file(const char* path, const char* mode) {
  static wchar_t wide[WIDE_PATH_SIZE];
  wchar_t wide_mode[8];
  int n = 0;
  for (; mode[n] && n < 7; n++) wide_mode[n] = (wchar_t)mode[n];
  wide_mode[n] = 0;
  return to_wide(path, wide, WIDE_PATH_SIZE) == 0 ? _wfopen(wide, wide_mode) : nullptr;
}

static uint64_t file_hash(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  uint64_t hash = CONTENT_HASH_START;
  static char buffer[32768];
  DWORD got;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    hash = content_hash(hash, buffer, got);
  CloseHandle(file);
  return hash;
}

static void scan_into(const wchar_t* native, const char* relative, int depth) {
  wchar_t* pattern = (wchar_t*)malloc(WIDE_PATH_SIZE * sizeof(wchar_t));
  if (!pattern) return;
  _snwprintf(pattern, WIDE_PATH_SIZE, L"%ls\\*", native);
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(pattern, &found);
  free(pattern);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
    char leaf[GAME_NAME_SIZE], shown[GAME_NAME_SIZE], name[GAME_NAME_SIZE];
    if (WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, leaf, sizeof leaf, nullptr, nullptr) <=
        0)
      continue;
    snprintf(shown, sizeof shown, "%s%s%s", relative, relative[0] ? "\\" : "", leaf);
    if (console_utf8_to_cp932(shown, name, sizeof name) < 0) name[0] = 0;
    wchar_t* path = (wchar_t*)malloc(WIDE_PATH_SIZE * sizeof(wchar_t));
    if (!path) break;
    _snwprintf(path, WIDE_PATH_SIZE, L"%ls\\%ls", native, found.cFileName);
    uint32_t attributes = found.dwFileAttributes & KEPT_ATTRIBUTES;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      game_put(name, shown, attributes, 0, 0);
      if (depth < SCAN_DEPTH_MAX && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        scan_into(path, shown, depth + 1);
    } else {
      uint64_t size = ((uint64_t)found.nFileSizeHigh << 32) | found.nFileSizeLow;
      game_put(name, shown, attributes, size, file_hash(path));
    }
    free(path);
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

int scan_game_folder(const char* folder) {
  game_folder_reset();
  static wchar_t wide[WIDE_PATH_SIZE];
  if (to_wide(folder, wide, WIDE_PATH_SIZE) != 0) return -1;
  DWORD attributes = GetFileAttributesW(wide);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return -1;
  scan_into(wide, "", 0);
  return 0;
}

int game_folder_free_mib(const char* folder) {
  static wchar_t wide[WIDE_PATH_SIZE];
  ULARGE_INTEGER available;
  if (to_wide(folder, wide, WIDE_PATH_SIZE) != 0 ||
      !GetDiskFreeSpaceExW(wide, &available, nullptr, nullptr))
    return -1;
  unsigned long long mib = available.QuadPart / 1048576ull;
  return mib > INT_MAX ? INT_MAX : (int)mib;
}

int game_folder_units(const char* folder) {
  static wchar_t wide[WIDE_PATH_SIZE], full[WIDE_PATH_SIZE];
  if (to_wide(folder, wide, WIDE_PATH_SIZE) != 0) return -1;
  DWORD length = GetFullPathNameW(wide, WIDE_PATH_SIZE, full, nullptr);
  if (length == 0 || length >= WIDE_PATH_SIZE) return -1;
  while (length > 3 && (full[length - 1] == L'\\' || full[length - 1] == L'/')) length--;
  return (int)length;
}
