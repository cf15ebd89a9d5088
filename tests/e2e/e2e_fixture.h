// What the end-to-end tests share: a scratch update medium (a copy of updater.exe with the
// update's files), an installed game's folder and its installation record under a run-unique
// key, the update's resources packed by GLEANER, and the real updater run as its own process
// while the robot reads and answers its dialogs and message boxes.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "e2e_driver.h"
#include "e2e_prediction.h"
#include "test_files.h"

// How a box the robot answered is logged: "<caption>|<text>" in cp932, the text being the
// message of a message box or the confirmation line of the confirmation dialog.
typedef std::vector<std::string> Seen;

// The Windows path (through Wine's drive Z:) of a program the build made at `unix_path`.
std::wstring built_program(const char* unix_path);

enum { E2E_BOX_MS = 30000, E2E_EXIT_MS = 60000 };

class EndToEnd : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;

  // Paths (cp932, relative to the working directory) for the helpers of test_files.h.
  std::string on_medium(const std::string& name) const { return medium + "\\" + name; }
  std::string in_game(const std::string& name) const { return game + "\\" + name; }
  std::string in_stage(const std::string& name) const { return stage + "\\" + name; }
  std::string full_path(const std::string& path) const;

  // The installation record: "Installed" and "SaveDir" (REG_SZ); null leaves a value out.
  void set_record(const char* installed, const std::string* save_dir);
  // "UPDATE.ENV" naming the record's key, followed by `lines`, in the folder `where`.
  void write_env(const std::string& where, const std::string& lines);
  // The splash picture and the data file the updater reads, in the folder `where`.
  void write_splash(const std::string& where);
  // Packs the stage folder's UPDATE.ENV, update.bmp and update.itw with GLEANER into
  // UPDATE.PAK on the medium; GLEANER's exit code.
  int pack(void);

  // Starts the medium's updater (`program`) with `directory` as its current directory (the medium
  // when empty) and, unless -1, the show command `show`. Returns false when it could not be
  // started.
  bool start(const std::string& directory = "", int show = -1);
  // Waits for the next box of the updater (never the copy progress dialog) and logs it.
  HWND next_box(std::string* seen, int timeout_ms = E2E_BOX_MS);
  // Answers the next box with button `id` and returns its log entry ("" when none came).
  std::string answer(int id);
  // The updater's exit code once it ended; STILL_ACTIVE when it did not end in time.
  DWORD finish(int timeout_ms = E2E_EXIT_MS);
  // Whether the updater's process shows a top-level window.
  bool shows_a_window(void) const;

  std::string folder, medium, game, stage;  // cp932, relative to the working directory
  std::string ini;                          // the record's key name below Software
  std::string program = "updater.exe";      // the updater, relative to the medium
  UpdaterRun run;
  Prediction prediction;  // the dry run before each start, checked when the run has ended
};
