// What the procedure tests share: a scratch folder per test holding the source files ("src")
// and the installed program's folder ("game"), an installation record under a run-unique key,
// the update description written to a file and loaded, a scripted free-space probe, and a run
// of the procedure with the robot answering its boxes.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "test_files.h"

// What each box the robot answered was: "DRIVENOTREADY", "MOREDISKFREE", "MINIOK" (told by
// their captions), "COPYING" (the progress dialog, which must never be answered) or
// "error:" + the text of a message box with the error icon.
typedef std::vector<std::string> Seen;

class ProcedureTest : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;

  // The installation record: "Installed" and "SaveDir" (REG_SZ); an absent value is not set.
  void set_record(const char* installed, const std::string* save_dir);
  // "Installed" 1 and a "SaveDir" that need not have a Shift-JIS form.
  void set_record_wide(const std::wstring& save_dir);
  // The full Windows path (cp932) of the "game" folder, as the installer would record it.
  std::string game_full_path() const;
  // Writes "UPDATE.ENV" naming the record's key, followed by `lines`, and loads it.
  void load_update(const std::string& lines);
  // The free space the drive check measures, one value per measurement (the last repeats);
  // the count of measurements starts again.
  void set_free_space(const std::vector<int>& values);
  int measurements() const;
  // Runs run_update while the robot presses `buttons` in the boxes it shows.
  Seen run(const std::vector<int>& buttons);

  // Paths for the file helpers of test_files.h (write_file, file_state).
  std::string src(const std::string& name) const { return folder + "\\src\\" + name; }
  std::string game(const std::string& name) const { return folder + "\\game\\" + name; }
  // Names in the game folder (cp932), sorted.
  std::vector<std::string> game_listing() const;

  // Files by their UTF-16 paths: written with day_time(0) times, read back ("(no file)" when
  // absent), their attributes, and a folder's names sorted.
  static void write_wide(const std::wstring& path, const std::string& data, DWORD attributes = 0);
  static std::string wide_data(const std::wstring& path);
  static DWORD wide_attributes(const std::wstring& path);
  static std::vector<std::wstring> wide_listing(const std::wstring& folder);

  std::string folder;  // cp932, relative to the working directory
  std::string ini;     // the record's first key name below Software
};

// Reads what the robot recorded, in order.
Seen robot_seen(void);
