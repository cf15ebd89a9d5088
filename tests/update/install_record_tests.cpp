// Reading the installation record from the registry. Every test makes its own key below
// HKEY_CURRENT_USER\Software under a name unique to the run, and removes it again. Runs under
// Wine; the test with Japanese names and data runs again under code page 1252.
#include <windows.h>
#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include "env_table.h"
#include "install_record.h"
#include "env_text.h"

namespace {

void load_text(const std::string& text) {
  load_env_text(text);
  install_names_reset();
}

// A run-unique first name below Software (cp932), and its wide form.
std::string unique_name(const char* tag) {
  char text[64];
  snprintf(text, sizeof text, "KitTest%s_%lu_%lu", tag, GetCurrentProcessId(), GetTickCount());
  return text;
}

std::wstring widen(const std::string& cp932) {
  wchar_t out[512];
  int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cp932.c_str(), -1, out, 512);
  return n > 0 ? std::wstring(out) : std::wstring();
}

// HKCU\Software\<ini>\<section>, created on construction and removed (from <ini> down) at
// the end. `existed` tells whether <ini> was there before, in which case it is left alone.
struct TestKey {
  std::wstring ini_path;
  HKEY key = nullptr;
  bool existed = false;

  TestKey(const std::string& ini, const std::string& section) {
    ini_path = L"Software\\" + widen(ini);
    HKEY probe;
    existed = RegOpenKeyExW(HKEY_CURRENT_USER, ini_path.c_str(), 0, KEY_READ, &probe) == 0;
    if (existed) RegCloseKey(probe);
    std::wstring path = ini_path + L"\\" + widen(section);
    EXPECT_EQ(0, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &key, nullptr));
  }
  ~TestKey() {
    if (key) RegCloseKey(key);
    if (!existed) RegDeleteTreeW(HKEY_CURRENT_USER, ini_path.c_str());
  }
  void set(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    EXPECT_EQ(0, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes));
  }
  void set_text(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
    set(name, type, text.c_str(), DWORD((text.size() + 1) * sizeof(wchar_t)));
  }
};

struct Record {
  std::string ini = unique_name("Ini"), section = "Section";
  TestKey key{ini, section};

  // reg_read_string into a 128-byte destination with the default "(NULL)"; the result, and
  // "-1:" before the destination when it failed. Checks that nothing is written beyond.
  std::string read(const char* value_name, int size = SAVE_DIR_SIZE) {
    char buffer[REG_TEXT_SIZE + 8];
    memset(buffer, '#', sizeof buffer);
    int rc = reg_read_string(ini.c_str(), section.c_str(), value_name, "(NULL)", buffer, size);
    for (size_t i = size_t(size); i < sizeof buffer; ++i) EXPECT_EQ('#', buffer[i]);
    EXPECT_TRUE(rc == 0 || rc == -1);
    return (rc == 0 ? "" : "-1:") + std::string(buffer);
  }
  int read_int(const char* value_name, int default_value = 0) {
    return reg_read_int(ini.c_str(), section.c_str(), value_name, default_value);
  }
};

TEST(InstallRecord, StringValues) {
  Record r;
  r.key.set_text(L"SaveDir", L"C:\\Games\\Kestrel");
  r.key.set_text(L"Expand", L"C:\\Games", REG_EXPAND_SZ);
  DWORD one = 1;
  r.key.set(L"Dword", REG_DWORD, &one, sizeof one);
  // Stored without its terminator.
  r.key.set(L"Bare", REG_SZ, L"abc", 3 * sizeof(wchar_t));
  // 255 bytes with the terminator fit the 256-byte buffer, 256 do not; in Shift-JIS bytes.
  r.key.set_text(L"Fits", std::wstring(255, L'x'));
  r.key.set_text(L"TooLong", std::wstring(256, L'x'));
  r.key.set_text(L"WideFits", std::wstring(127, L'\x8868') + L"x");  // 表 x 127, then x
  r.key.set_text(L"WideTooLong", std::wstring(128, L'\x8868'));
  r.key.set_text(L"NoShiftJis", L"caf\x00E9");  // é has no Shift-JIS form
  r.key.set_text(L"Long", std::wstring(150, L'd'));

  EXPECT_EQ("C:\\Games\\Kestrel", r.read("SaveDir"));
  EXPECT_EQ("C:\\Games\\Kestrel", r.read("savedir"));  // value names ignore case
  EXPECT_EQ("-1:(NULL)", r.read("Missing"));
  EXPECT_EQ("-1:(NULL)", r.read("Expand"));
  EXPECT_EQ("-1:(NULL)", r.read("Dword"));
  EXPECT_EQ("abc", r.read("Bare"));
  EXPECT_EQ(std::string(255, 'x'), r.read("Fits", REG_TEXT_SIZE));
  EXPECT_EQ("-1:(NULL)", r.read("TooLong", REG_TEXT_SIZE));
  std::string wide_fits;
  for (int i = 0; i < 127; ++i) wide_fits += "\x95\x5C";
  EXPECT_EQ(wide_fits + "x", r.read("WideFits", REG_TEXT_SIZE));
  EXPECT_EQ("-1:(NULL)", r.read("WideTooLong", REG_TEXT_SIZE));
  EXPECT_EQ("-1:(NULL)", r.read("NoShiftJis"));
  // The destination takes what fits: 127 characters of 128 bytes, 4 of a 5-byte one.
  EXPECT_EQ(std::string(127, 'd'), r.read("Long"));
  EXPECT_EQ("dddd", r.read("Long", 5));
  EXPECT_EQ("-1:(NUL", r.read("Missing", 5));
  EXPECT_EQ("", r.read("SaveDir", 1));
}

// The wide read keeps a folder whose name Shift-JIS cannot hold (the string read reports it
// missing), with the same rules for missing, mistyped and too long values.
TEST(InstallRecord, WideValuesAsStored) {
  Record r;
  const std::wstring foreign = L"C:\\Users\\J\u00FCrgen\\\u6E38\u620F\\\uAC8C\uC784";
  r.key.set_text(L"SaveDir", foreign);
  r.key.set_text(L"Fits", std::wstring(255, L'\u00E9'));
  r.key.set_text(L"TooLong", std::wstring(256, L'x'));
  r.key.set_text(L"Expand", L"C:\\Games", REG_EXPAND_SZ);
  r.key.set(L"Bare", REG_SZ, L"abc", 3 * sizeof(wchar_t));
  struct Case {
    const wchar_t* value;
    int rc;
    std::wstring text;
  } cases[] = {{L"SaveDir", 0, foreign},        {L"Fits", 0, std::wstring(255, L'\u00E9')},
               {L"TooLong", -1, L"(NULL)"},     {L"Expand", -1, L"(NULL)"},
               {L"Missing", -1, L"(NULL)"},     {L"Bare", 0, L"abc"}};
  for (const Case& c : cases) {
    wchar_t buffer[REG_TEXT_SIZE + 4];
    wmemset(buffer, L'#', REG_TEXT_SIZE + 4);
    std::string name(c.value, c.value + wcslen(c.value));
    EXPECT_EQ(c.rc, reg_read_wide_string(r.ini.c_str(), r.section.c_str(), name.c_str(), L"(NULL)",
                                         buffer)) << name;
    EXPECT_EQ(c.text, std::wstring(buffer)) << name;
    for (int i = REG_TEXT_SIZE; i < REG_TEXT_SIZE + 4; i++) EXPECT_EQ(L'#', buffer[i]);
  }
  EXPECT_EQ("-1:(NULL)", r.read("SaveDir"));
  wchar_t buffer[REG_TEXT_SIZE];
  EXPECT_EQ(-1, reg_read_wide_string(unique_name("None").c_str(), "Section", "SaveDir", L"(NULL)",
                                     buffer));
  EXPECT_EQ(std::wstring(L"(NULL)"), buffer);
}

TEST(InstallRecord, MissingKey) {
  char buffer[SAVE_DIR_SIZE] = "";
  std::string ini = unique_name("None");
  EXPECT_EQ(-1, reg_read_string(ini.c_str(), "Section", "SaveDir", "(NULL)", buffer, sizeof buffer));
  EXPECT_STREQ("(NULL)", buffer);
  EXPECT_EQ(-3, reg_read_int(ini.c_str(), "Section", "Installed", -3));
}

TEST(InstallRecord, IntegerValues) {
  Record r;
  struct {
    const wchar_t* text;
    int value;
  } cases[] = {{L"1", 1},   {L"-1", -1}, {L"2", 2},   {L"", 0},      {L"yes", 0},
               {L"1abc", 1}, {L" 7", 7},  {L"+3", 3}, {L"99999999999", INT_MAX}};
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    r.key.set_text(L"Installed", cases[i].text);
    EXPECT_EQ(cases[i].value, r.read_int("Installed", 5)) << "case " << i;
  }
  DWORD one = 1;
  r.key.set(L"Installed", REG_DWORD, &one, sizeof one);
  EXPECT_EQ(0, r.read_int("Installed", 0));  // a number stored as a DWORD is not read
  EXPECT_EQ(-8, r.read_int("Installed", -8));
  EXPECT_EQ(0, r.read_int("Missing"));
  EXPECT_EQ(INT_MIN, r.read_int("Missing", INT_MIN));
}

// Without INIFILE and INISECTION in UPDATE.ENV the record is Software\KESTRELX.INI\WX7SYS_SEC.
TEST(InstallRecord, DefaultKey) {
  TestKey key("KESTRELX.INI", "WX7SYS_SEC");
  if (key.existed) GTEST_SKIP() << "a real KESTRELX.INI record exists; left alone";
  key.set_text(L"Installed", L"1");
  key.set_text(L"SaveDir", L"C:\\Kestrel");
  load_text("APPTITLE t\n");
  EXPECT_EQ(1, reg_read_int(inifile_name(), inisection_name(), "Installed", 0));
  char dir[SAVE_DIR_SIZE];
  EXPECT_EQ(0, reg_read_string(inifile_name(), inisection_name(), "SaveDir", "(NULL)", dir,
                               sizeof dir));
  EXPECT_STREQ("C:\\Kestrel", dir);
}

// Names as long as UPDATE.ENV can hold are used whole.
TEST(InstallRecord, LongNamesFromTheTable) {
  std::string ini = unique_name("Long");
  ini += std::string(71 - ini.size(), 'L');
  std::string section(79, 'S');
  TestKey key(ini, section);
  key.set_text(L"Installed", L"1");
  load_text("INIFILE " + ini + "\nINISECTION\n" + section + "\n");
  EXPECT_EQ(1, reg_read_int(inifile_name(), inisection_name(), "Installed", 0));
  EXPECT_EQ(ini, inifile_name());
  EXPECT_EQ(section, inisection_name());
  EXPECT_EQ(1, reg_read_int(inifile_name(), inisection_name(), "Installed", 0));
}

// The current user's SID, for a DACL of our own.
std::string user_sid_bytes() {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "";
  char buffer[256];
  DWORD size = 0;
  BOOL ok = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
  CloseHandle(token);
  if (!ok) return "";
  PSID sid = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
  return std::string(static_cast<char*>(sid), GetLengthSid(sid));
}

// Gives the current user `access` to `key` and nobody anything else.
LONG restrict_key(HKEY key, DWORD access) {
  std::string sid = user_sid_bytes();
  if (sid.empty()) return ERROR_INVALID_SID;
  alignas(8) char acl_bytes[256];
  PACL acl = reinterpret_cast<PACL>(acl_bytes);
  SECURITY_DESCRIPTOR sd;
  if (!InitializeAcl(acl, sizeof acl_bytes, ACL_REVISION) ||
      !AddAccessAllowedAce(acl, ACL_REVISION, access, &sid[0]) ||
      !InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE))
    return GetLastError();
  return RegSetKeySecurity(key, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                           &sd);
}

// A record the user may read but not change is read all the same.
TEST(InstallRecord, ReadOnlyKey) {
  Record r;
  r.key.set_text(L"Installed", L"1");
  r.key.set_text(L"SaveDir", L"C:\\ReadOnly");
  std::wstring path = r.key.ini_path + L"\\" + widen(r.section);
  ASSERT_EQ(0, restrict_key(r.key.key, KEY_READ));

  HKEY probe;
  LONG full = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &probe);
  if (full == 0) RegCloseKey(probe);
  EXPECT_EQ(ERROR_ACCESS_DENIED, full) << "full access must be refused for the test to show anything";
  EXPECT_EQ(1, r.read_int("Installed"));
  EXPECT_EQ("C:\\ReadOnly", r.read("SaveDir"));

  // Give the key back so that it can be removed (the owner may always change its DACL).
  HKEY owner;
  ASSERT_EQ(0, RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &owner));
  EXPECT_EQ(0, restrict_key(owner, KEY_ALL_ACCESS | DELETE));
  RegCloseKey(owner);
}

// Japanese key, value name and data come back as the right Shift-JIS bytes, whatever the
// system's ANSI code page is.
TEST(InstallRecord, JapaneseNamesAndData) {
  std::string ini = unique_name("Jp") + "ゲーム";
  std::string section = "セーブ表示";
  TestKey key(ini, section);
  key.set_text(L"保存先", L"C:\\ゲーム\\ソフト表示");
  key.set_text(L"Installed", L"１");  // a full-width digit is no digit
  char dir[SAVE_DIR_SIZE];
  EXPECT_EQ(0, reg_read_string(ini.c_str(), section.c_str(), "保存先", "(NULL)", dir, sizeof dir));
  EXPECT_STREQ("C:\\\x83\x51\x81\x5B\x83\x80\\\x83\x5C\x83\x74\x83\x67\x95\x5C\x8E\xA6", dir);
  EXPECT_STREQ("C:\\ゲーム\\ソフト表示", dir);
  EXPECT_EQ(0, reg_read_int(ini.c_str(), section.c_str(), "Installed", 9));
  // A name that is not valid Shift-JIS never reaches the registry.
  EXPECT_EQ(-1, reg_read_string(ini.c_str(), section.c_str(), "\x83", "(NULL)", dir, sizeof dir));
  EXPECT_STREQ("(NULL)", dir);
}

}  // namespace
