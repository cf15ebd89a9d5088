// Helpers of the copy tests.
#include "copy_fixture.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include "app_window.h"
#include "wide_text.h"

FaultPlan plan;
FaultCounts counts;

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

std::string pattern(size_t size, unsigned seed) {
  std::string data(size, '\0');
  unsigned value = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; i++) {
    value = value * 1103515245u + 12345u;
    data[i] = (char)(value >> 16);
  }
  return data;
}

FILETIME day_time(int days) {
  // 2001-01-01 00:00 UTC in 100 ns units since 1601.
  unsigned long long ticks = 126227808000000000ull + (unsigned long long)days * 864000000000ull;
  FILETIME time = {(DWORD)ticks, (DWORD)(ticks >> 32)};
  return time;
}

CopyFault test_fault_hook(CopyCall call) {
  counts.calls++;
  if (call == COPY_CALL_READ) {
    counts.reads++;
    if (counts.reads == 1) counts.dialog_at_first_read = progress_window();
    if (plan.sleep_per_read_ms) Sleep((DWORD)plan.sleep_per_read_ms);
    if (counts.reads == plan.quit_at_read) PostQuitMessage(3);
    if (counts.reads == plan.cancel_at_read) {
      // What the Cancel button does: the dialog gets the command at the next pump. Without a
      // dialog the procedure is called as the dialog would call it.
      if (progress_window())
        PostMessageW(progress_window(), WM_COMMAND, IDCANCEL, 0);
      else
        progress_dialog_proc(nullptr, WM_COMMAND, IDCANCEL, 0);
    }
  }
  int number = counts.calls;
  if (plan.only_kind) {
    if (call != plan.only) return COPY_RUN;
    number = ++counts.kind_calls;
  }
  return number == plan.fail_at ? plan.fault : COPY_RUN;
}

static HWND test_main_window(void) {
  static HWND created = nullptr;
  if (!created) created = create_main_window(GetModuleHandleW(nullptr), nullptr);
  set_main_window(created);
  return created;
}

void CopyTest::SetUp() {
  plan = FaultPlan();
  counts = FaultCounts();
  set_copy_fault_hook(test_fault_hook);
  test_main_window();
  const char* inherited = getenv(SCRATCH_VARIABLE);
  if (inherited && *inherited) {
    folder = inherited;
    return;
  }
  char name[64];
  snprintf(name, sizeof name, "copy_scratch_%lu_%lu", GetCurrentProcessId(), GetTickCount());
  folder = name;
  ASSERT_TRUE(CreateDirectoryW(widen(folder).c_str(), nullptr));
}

static void remove_tree(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = dir + L"\\" + name;
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        remove_tree(full);
      else
        DeleteFileW(full.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(dir.c_str());
}

void CopyTest::TearDown() {
  set_copy_fault_hook(nullptr);
  close_progress();
  remove_tree(widen(folder));
}

std::string CopyTest::path(const std::string& name) const { return folder + "\\" + name; }

void CopyTest::write_file(const std::string& name, const std::string& data, DWORD attributes,
                          int days) {
  std::wstring wide = widen(path(name));
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
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

FileState CopyTest::state(const std::string& name) const {
  FileState s;
  std::wstring wide = widen(path(name));
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

std::vector<std::string> CopyTest::listing(const std::string& sub) const {
  std::vector<std::string> names;
  std::string dir = sub.empty() ? folder : path(sub);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((widen(dir) + L"\\*").c_str(), &found);
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

void CopyTest::make_folder(const std::string& name) {
  ASSERT_TRUE(CreateDirectoryW(widen(path(name)).c_str(), nullptr)) << name;
}
