// Files as the Win32 tests make and inspect them, always through the wide-character functions
// so that cp932 names behave the same under every ANSI code page.
#include "test_files.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include "wide_text.h"

bool operator==(const FileState& a, const FileState& b) {
  return a.exists == b.exists && a.data == b.data && CompareFileTime(&a.created, &b.created) == 0 &&
         CompareFileTime(&a.written, &b.written) == 0 && a.attributes == b.attributes;
}

std::ostream& operator<<(std::ostream& out, const FileState& s) {
  if (!s.exists) return out << "(no file)";
  return out << s.data.size() << " bytes, created " << s.created.dwHighDateTime << ":"
             << s.created.dwLowDateTime << ", written " << s.written.dwHighDateTime << ":"
             << s.written.dwLowDateTime << ", attributes 0x" << std::hex << s.attributes << std::dec;
}

std::wstring widen(const std::string& cp932) {
  wchar_t out[600];
  EXPECT_GE(cp932_to_wide(cp932.c_str(), out, 600, WIDE_NAME), 0) << cp932;
  return out;
}

std::string narrow(const wchar_t* wide) {
  char out[1200];
  EXPECT_GE(wide_to_cp932(wide, out, sizeof out), 0);
  return out;
}

FILETIME day_time(int days) {
  // 2001-01-01 00:00 UTC in 100 ns units since 1601.
  unsigned long long ticks = 126227808000000000ull + (unsigned long long)days * 864000000000ull;
  FILETIME time = {(DWORD)ticks, (DWORD)(ticks >> 32)};
  return time;
}

void write_file(const std::string& path, const std::string& data, DWORD attributes, int days) {
  std::wstring wide = widen(path);
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  if (!data.empty()) {
    EXPECT_TRUE(WriteFile(file, data.data(), (DWORD)data.size(), &written, nullptr));
  }
  FILETIME created = day_time(days), accessed = day_time(days + 1), last = day_time(days + 2);
  EXPECT_TRUE(SetFileTime(file, &created, &accessed, &last));
  CloseHandle(file);
  if (attributes) {
    EXPECT_TRUE(SetFileAttributesW(wide.c_str(), attributes));
  }
}

FileState file_state(const std::string& path) {
  FileState s;
  std::wstring wide = widen(path);
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &info)) return s;
  s.exists = true;
  s.created = info.ftCreationTime;
  s.written = info.ftLastWriteTime;
  s.attributes = info.dwFileAttributes;
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return s;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) s.data.append(buffer, got);
  CloseHandle(file);
  return s;
}

std::vector<std::string> folder_listing(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((widen(folder) + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    char name[600];
    if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..") &&
        wide_to_cp932(found.cFileName, name, sizeof name) >= 0)
      names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::string unique_name(const char* prefix) {
  char name[96];
  snprintf(name, sizeof name, "%s_%lu_%lu", prefix, GetCurrentProcessId(), GetTickCount());
  return name;
}

bool make_folder(const std::string& path) {
  return CreateDirectoryW(widen(path).c_str(), nullptr) != 0;
}

static void remove_wide_tree(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = dir + L"\\" + name;
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        remove_wide_tree(full);
      else
        DeleteFileW(full.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(dir.c_str());
}

void remove_tree(const std::string& path) { remove_wide_tree(widen(path)); }

void write_install_record(const std::string& ini, const char* installed,
                          const std::string* save_dir) {
  std::wstring base = L"Software\\" + widen(ini);
  RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
  HKEY key;
  ASSERT_EQ(0, RegCreateKeyExW(HKEY_CURRENT_USER, (base + L"\\Sec").c_str(), 0, nullptr, 0,
                               KEY_ALL_ACCESS, nullptr, &key, nullptr));
  auto set = [&](const wchar_t* value, const std::wstring& text) {
    EXPECT_EQ(0, RegSetValueExW(key, value, 0, REG_SZ, (const BYTE*)text.c_str(),
                                DWORD((text.size() + 1) * sizeof(wchar_t))));
  };
  if (installed) set(L"Installed", widen(installed));
  if (save_dir) set(L"SaveDir", widen(*save_dir));
  RegCloseKey(key);
}
