// Files as the Win32 tests make and inspect them: cp932 names widened for the wide-character
// functions, a file's bytes, times and attributes, folder listings, and scratch folders below
// the working directory that are removed with all they hold.
#pragma once
#include <windows.h>
#include <ostream>
#include <string>
#include <vector>

// A file as a test sees it: present or not, its bytes, times and attributes.
struct FileState {
  bool exists = false;
  std::string data;
  FILETIME created = {}, written = {};
  DWORD attributes = 0;
};
bool operator==(const FileState& a, const FileState& b);
// How gtest prints a FileState in a failed comparison.
std::ostream& operator<<(std::ostream& out, const FileState& state);

// The wide form of a cp932 path (a failed conversion fails the test).
std::wstring widen(const std::string& cp932);
// The cp932 form of a wide path (a failed conversion fails the test).
std::string narrow(const wchar_t* wide);
// A fixed time, `days` days after 2001-01-01.
FILETIME day_time(int days);

// Writes `data` to the file at the cp932 `path` (replacing it, even when read-only), gives it
// the times day_time(days) (created), days + 1 (accessed) and days + 2 (written), then
// `attributes` where not 0.
void write_file(const std::string& path, const std::string& data, DWORD attributes = 0,
                int days = 0);
FileState file_state(const std::string& path);
// Names (cp932) in the folder at the cp932 path `folder`, sorted, without "." and "..".
std::vector<std::string> folder_listing(const std::string& folder);

// "<prefix>_<process id>_<tick count>": a name no other test run uses at the same time.
std::string unique_name(const char* prefix);
bool make_folder(const std::string& path);
// Removes the folder at the cp932 `path` with everything below it, read-only files too.
void remove_tree(const std::string& path);

// The installation record under HKEY_CURRENT_USER\Software\<ini>\Sec, made afresh: "Installed"
// and "SaveDir" as REG_SZ (cp932 texts); null leaves a value out.
void write_install_record(const std::string& ini, const char* installed,
                          const std::string* save_dir);
