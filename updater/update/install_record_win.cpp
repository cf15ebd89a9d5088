// Reading string and integer values of the installation record with the wide registry
// functions: names go to Windows through cp932_to_wide and data comes back through
// wide_to_cp932 (or as stored, for the wide read), so the result does not depend on the
// system's ANSI code page.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include "install_record.h"
#include "text_number.h"
#include "wide_text.h"

enum { KEY_PATH_SIZE = 256 };

// Opens the record's key for reading. 0, or -1 when its path does not fit or it cannot be
// opened.
static int open_record(const char* inifile, const char* inisection, HKEY* key) {
  char path[KEY_PATH_SIZE];
  wchar_t wide_path[KEY_PATH_SIZE];
  int length = snprintf(path, sizeof path, "Software\\%s\\%s", inifile, inisection);
  if (length < 0 || length >= KEY_PATH_SIZE) return -1;
  if (cp932_to_wide(path, wide_path, KEY_PATH_SIZE, WIDE_NAME) < 0) return -1;
  // Read access is all a reader needs; a record the user may read but not change still counts.
  return RegOpenKeyExW(HKEY_CURRENT_USER, wide_path, 0, KEY_READ, key) == ERROR_SUCCESS ? 0 : -1;
}

// Reads the REG_SZ value as stored into `data` (REG_TEXT_SIZE + 1 wide characters: 255 and
// the terminator at the most, and one more slot for a terminator of our own, as stored data
// need not end with one). Returns 0, or -1 when the value is missing, of another type or
// longer.
static int query_wide(HKEY key, const char* value_name, wchar_t* data) {
  wchar_t wide_name[REG_TEXT_SIZE];
  if (cp932_to_wide(value_name, wide_name, REG_TEXT_SIZE, WIDE_NAME) < 0) return -1;
  DWORD type = 0, bytes = REG_TEXT_SIZE * sizeof(wchar_t);
  LONG rc = RegQueryValueExW(key, wide_name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return -1;
  data[bytes / sizeof(wchar_t)] = 0;
  return 0;
}

// Reads the value with query_wide and opens and closes the key around it.
static int read_wide(const char* inifile, const char* inisection, const char* value_name,
                     wchar_t* data) {
  HKEY key;
  if (open_record(inifile, inisection, &key) != 0) return -1;
  int result = query_wide(key, value_name, data);
  RegCloseKey(key);
  return result;
}

int reg_read_string(const char* inifile, const char* inisection, const char* value_name,
                    const char* default_text, char* destination, int size) {
  if (size <= 0) return -1;
  strncpy(destination, default_text, size);
  destination[size - 1] = 0;
  // The Shift-JIS form with the terminator must fit REG_TEXT_SIZE bytes and every character
  // must have one.
  wchar_t data[REG_TEXT_SIZE + 1];
  char text[REG_TEXT_SIZE];
  if (read_wide(inifile, inisection, value_name, data) != 0) return -1;
  if (wide_to_cp932(data, text, REG_TEXT_SIZE) < 0) return -1;
  strncpy(destination, text, size);
  destination[size - 1] = 0;
  return 0;
}

int reg_read_wide_string(const char* inifile, const char* inisection, const char* value_name,
                         const wchar_t* default_text, wchar_t* destination) {
  wcsncpy(destination, default_text, REG_TEXT_SIZE);
  destination[REG_TEXT_SIZE - 1] = 0;
  wchar_t data[REG_TEXT_SIZE + 1];
  if (read_wide(inifile, inisection, value_name, data) != 0) return -1;
  // 256 characters with a terminator of its own: too long, never cut into another name.
  if (wcslen(data) >= REG_TEXT_SIZE) return -1;
  wcscpy(destination, data);
  return 0;
}

int reg_read_int(const char* inifile, const char* inisection, const char* value_name,
                 int default_value) {
  char default_text[REG_TEXT_SIZE], text[REG_TEXT_SIZE];
  snprintf(default_text, sizeof default_text, "%d", default_value);
  reg_read_string(inifile, inisection, value_name, default_text, text, sizeof text);
  return text_atoi(text);
}
