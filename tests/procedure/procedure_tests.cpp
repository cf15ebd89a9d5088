// The update procedure end to end: the early ends (no folder, drive not ready, too little
// space), copies with skipped and failed pairs, deletions, the final clean-up of save files,
// and the free-space measurement and path joins it relies on.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include "procedure_fixture.h"
#include "path_split.h"
#include "robot.h"
#include "update_procedure.h"
#include "wide_text.h"

namespace {

const char* const NO_FOLDER =
    "error:本体プログラムの位置を確定できませんでした。\n"
    "本体プログラムの再インストールを行ってください。";
const char* const UPDATE_FAILED = "error:アップデートに失敗しました";

// "SAVE00.SAV" .. "SAVE10.SAV".
std::string save_name(int number) {
  char name[16];
  snprintf(name, sizeof name, "SAVE%02d.SAV", number);
  return name;
}

std::string copy_failed(const std::string& source) {
  return "error:ファイル[ " + source +
         " ]のコピーに失敗しました\nディスク容量をチェックしてください";
}

using UpdateProcedure = ProcedureTest;

// Every early end leaves the game folder as it was.
TEST_F(UpdateProcedure, NoFolderInTheRecordChangesNothing) {
  struct Case {
    const char* installed;
    const char* save_dir;  // null: absent; "*": the game folder
  } cases[] = {{"1", nullptr}, {"0", "*"}, {nullptr, "*"}, {"1", ""}, {"1", "(NULL)"}};
  write_file(src("A.DAT"), "new");
  write_file(game("A.DAT"), "old");
  load_update("COPY1_F " + src("A.DAT") + "\nCOPY1_T A.DAT\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.installed ? c.installed : "-") + " / " +
                 (c.save_dir ? c.save_dir : "-"));
    std::string dir = !c.save_dir ? "" : strcmp(c.save_dir, "*") ? c.save_dir : game_full_path();
    set_record(c.installed, c.save_dir ? &dir : nullptr);
    EXPECT_EQ(run({1}), Seen({NO_FOLDER}));
    EXPECT_EQ(measurements(), 0);
    EXPECT_EQ(file_state(game("A.DAT")).data, "old");
  }
}

TEST_F(UpdateProcedure, DriveAndSpaceChecks) {
  struct Case {
    std::vector<int> free_mib;  // successive measurements
    std::vector<int> buttons;
    Seen seen;
    int measured;
    bool copied;
  } cases[] = {
      {{-1, -1}, {1, 2}, {"DRIVENOTREADY", "DRIVENOTREADY"}, 2, false},  // retry, cancel
      {{-1, 5}, {1, 1}, {"DRIVENOTREADY", "MINIOK"}, 2, true},           // retry succeeds
      {{4}, {1}, {"MOREDISKFREE"}, 1, false},
      {{5}, {1}, {"MINIOK"}, 1, true},
      {{INT_MAX}, {1}, {"MINIOK"}, 1, true},
  };
  write_file(src("A.DAT"), "new");
  load_update("COPY1_F " + src("A.DAT") + "\nCOPY1_T A.DAT\nDELETE_1 OLD.DAT\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seen.back() + " after " + std::to_string(c.free_mib[0]));
    write_file(game("A.DAT"), "old");
    write_file(game("OLD.DAT"), "old");
    set_free_space(c.free_mib);
    EXPECT_EQ(run(c.buttons), c.seen);
    EXPECT_EQ(measurements(), c.measured);
    EXPECT_EQ(file_state(game("A.DAT")).data, c.copied ? "new" : "old");
    EXPECT_EQ(file_state(game("OLD.DAT")).exists, !c.copied);
    set_free_space({100});
  }
}

// Skipped pairs say nothing; a failed pair is reported at once and everything after it still
// runs, but the save and configuration files stay.
TEST_F(UpdateProcedure, AFailedCopyLetsTheRestRunAndKeepsTheSaves) {
  std::string long_name = std::string(79 - 4, 'L') + ".DAT";  // a 79-byte value, missing
  write_file(src("PAK.DAT"), "pak");
  write_file(src("FOUR.DAT"), "four");
  write_file(src("GAME.EXE"), "exe");
  write_file(game("GONE.DAT"), "x");
  write_file(game("CFG.SAV"), "x");
  for (int i = 0; i <= 10; i++) write_file(game(save_name(i)), "x");
  load_update("COPYPAK_F " + src("PAK.DAT") + "\nCOPYPAK_T PAK.DAT\n"
              "COPY1_F " + src("PAK.DAT") + "\n"                          // no _T: skipped
              "COPY2_F NULL\nCOPY2_T TWO.DAT\n"                            // skipped
              "COPY3_F " + src("MISSING.DAT") + "\nCOPY3_T THREE.DAT\n"    // fails
              "COPY4_F " + src("FOUR.DAT") + "\nCOPY4_T FOUR.DAT\n"
              "COPY5_F " + src("FOUR.DAT") + "\nCOPY5_T null\n"            // skipped
              "COPY6_F\n" + long_name + "\nCOPY6_T SIX.DAT\n"              // fails
              "DELETE_1 NOSUCH.DAT\nDELETE_2 GONE.DAT\n"
              "COPYEXE_F_NP " + src("GAME.EXE") + "\nCOPYEXE_T GAME.EXE\n"
              "DELCONFIG 1\nCONFIGNAME CFG\nDELSAVE 1\nSAVENAME SAVE\n");
  EXPECT_EQ(run({1, 1, 1}), Seen({copy_failed(src("MISSING.DAT")), copy_failed(long_name),
                                  UPDATE_FAILED}));
  EXPECT_EQ(file_state(game("PAK.DAT")).data, "pak");
  EXPECT_EQ(file_state(game("FOUR.DAT")).data, "four");
  EXPECT_EQ(file_state(game("GAME.EXE")).data, "exe");
  std::vector<std::string> expected = {"CFG.SAV", "FOUR.DAT", "GAME.EXE", "PAK.DAT"};
  for (int i = 0; i <= 10; i++) expected.push_back(save_name(i));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(game_listing(), expected);  // GONE.DAT deleted; nothing for the skipped pairs
}

// Full success with Japanese names (two of them with a trail byte 0x5C): the copies keep the
// source's data and times, end with the archive attribute alone (a read-only target is
// replaced), the eleven save files go, and without CONFIGNAME no configuration file does.
TEST_F(UpdateProcedure, CopiesJapaneseNamesAndCleansUp) {
  write_file(src("データ表.PAK"), std::string(100000, 'p'), FILE_ATTRIBUTE_READONLY, 10);
  write_file(src("ソフト.EXE"), "exe", FILE_ATTRIBUTE_HIDDEN, 20);
  write_file(game("ソフト.EXE"), "old exe", FILE_ATTRIBUTE_READONLY);
  std::vector<std::string> keep = {"CONFIG.SAV", "NULL.SAV", "SAVE.SAV", "SAVE11.SAV",
                                   "ソフト.EXE", "データ表.PAK"};
  std::sort(keep.begin(), keep.end());
  for (const std::string& name : keep) write_file(game(name), "x");
  for (int i = 0; i <= 10; i++) write_file(game(save_name(i)), "x");
  load_update("COPYPAK_F " + src("データ表.PAK") + "\nCOPYPAK_T データ表.PAK\n"
              "COPYEXE_F_NP " + src("ソフト.EXE") + "\nCOPYEXE_T ソフト.EXE\n"
              "DELETE_1 無い.DAT\nDELCONFIG 1\nDELSAVE 1\nSAVENAME SAVE\n");
  EXPECT_EQ(run({1}), Seen({"MINIOK"}));
  EXPECT_EQ(game_listing(), keep);
  for (const char* name : {"データ表.PAK", "ソフト.EXE"}) {
    SCOPED_TRACE(name);
    FileState from = file_state(src(name)), to = file_state(game(name));
    EXPECT_EQ(to.data, from.data);
    EXPECT_EQ(CompareFileTime(&to.written, &from.written), 0);
    EXPECT_EQ(to.attributes, (DWORD)FILE_ATTRIBUTE_ARCHIVE);
  }
}

// A hidden, system and read-only file in the game folder is replaced like any other: the new
// data, the source's write time, and the archive attribute alone (from a plain source and from
// one that is hidden, system and read-only itself).
TEST_F(UpdateProcedure, AHiddenSystemReadOnlyTargetIsReplaced) {
  const DWORD HSR = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
  for (DWORD source_attributes : {(DWORD)0, HSR}) {
    SCOPED_TRACE(source_attributes);
    write_file(src("NEW.DAT"), std::string(70000, 'n'), source_attributes, 30);
    write_file(game("OLD.DAT"), "the installed version", HSR, 10);
    ASSERT_EQ(file_state(game("OLD.DAT")).attributes & HSR, HSR);
    load_update("COPY1_F " + src("NEW.DAT") + "\nCOPY1_T OLD.DAT\n");
    EXPECT_EQ(copy_pair((folder + "\\game").c_str(), "COPY1_F", "COPY1_T"), 0);
    FileState from = file_state(src("NEW.DAT")), to = file_state(game("OLD.DAT"));
    EXPECT_EQ(to.data, from.data);
    EXPECT_EQ(CompareFileTime(&to.written, &from.written), 0);
    EXPECT_EQ(to.attributes, (DWORD)FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(game_listing(), std::vector<std::string>{"OLD.DAT"});
  }
}

// A target path too long for a path buffer fails the pair; it is never cut into the name of
// another file (here "<folder>\game\AB", which the cut would name).
TEST_F(UpdateProcedure, ATooLongTargetPathFailsThePair) {
  write_file(src("A.DAT"), "new");
  std::string padded = folder + "\\game";
  while (padded.size() + 2 <= 256) padded += "\\.";
  std::string name = "ABCDEFGH.DAT";  // a cut at 259 bytes would keep "AB" or "ABC"
  ASSERT_GE(padded.size() + 1 + name.size(), (size_t)PATH_TEXT_SIZE);
  load_update("COPY1_F " + src("A.DAT") + "\nCOPY1_T " + name + "\n");
  EXPECT_EQ(0, robot_start(std::vector<int>{1}.data(), 1, 15000));
  EXPECT_EQ(copy_pair(padded.c_str(), "COPY1_F", "COPY1_T"), 1);
  EXPECT_EQ(robot_wait(60000), 1);
  EXPECT_EQ(robot_seen(), Seen({copy_failed(src("A.DAT"))}));
  EXPECT_TRUE(game_listing().empty());
}

TEST(JoinFolderPath, FitsOrFailsWhole) {
  char out[260];
  std::string folder(200, 'f');
  EXPECT_EQ(join_folder_path(out, folder.c_str(), std::string(58, 'n').c_str(), nullptr), 0);
  EXPECT_EQ(strlen(out), 259u);
  EXPECT_EQ(out[200], '\\');
  EXPECT_EQ(join_folder_path(out, folder.c_str(), std::string(52, 'n').c_str(), "00.SAV"), 0);
  EXPECT_EQ(std::string(out + 253), "00.SAV");
  EXPECT_EQ(join_folder_path(out, folder.c_str(), std::string(59, 'n').c_str(), nullptr), -1);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(join_folder_path(out, folder.c_str(), std::string(53, 'n').c_str(), "00.SAV"), -1);
  EXPECT_STREQ(out, "");
}

// Whole MiB with 64-bit arithmetic: any cluster size, any free-cluster count.
TEST(FreeSpace, WholeMibOfAnySize) {
  struct Case {
    unsigned long long bytes;
    int mib;
  } cases[] = {
      {0, 0},
      {5ull * 1048576 - 1, 4},
      {5ull * 1048576, 5},
      {(1ull << 31) * 4096, 8388608},           // 2^31 free clusters of 4 KiB
      {3ull * 2097152, 6},                      // three clusters of 2 MiB
      {(unsigned long long)INT_MAX * 1048576, INT_MAX},
      {1ull << 52, INT_MAX},                    // 4 Pi: clamped
      {~0ull, INT_MAX},
  };
  for (const Case& c : cases) EXPECT_EQ(whole_mib(c.bytes), c.mib) << c.bytes;
}

// The real measurement: the folder's drive root, the current drive's root for a path without a
// drive letter, -1 for a drive that does not exist.
TEST(FreeSpace, MeasuresTheDriveRoot) {
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  char drive[4] = {(char)current[0], ':', '\\', 0};
  ULARGE_INTEGER available, total, total_free;
  ASSERT_TRUE(GetDiskFreeSpaceExW(L"\\", &available, &total, &total_free));
  int expected = whole_mib(available.QuadPart);
  const int slack = 256;  // other programs write to the same disk meanwhile
  EXPECT_NEAR(free_space_mib((std::string(drive) + "some\\folder").c_str()), expected, slack);
  EXPECT_NEAR(free_space_mib("\\\\server\\share\\game"), expected, slack);
  EXPECT_NEAR(free_space_mib("game"), expected, slack);
  DWORD drives = GetLogicalDrives();
  for (int letter = 'Z'; letter >= 'D'; letter--) {
    if (drives & (1u << (letter - 'A'))) continue;
    char absent[] = {(char)letter, ':', '\\', 'g', 0};
    EXPECT_EQ(free_space_mib(absent), -1) << absent;
    break;
  }
}

}  // namespace
