// The update procedure end to end: the early ends (no folder, drive not ready, too little
// space for the copies' peak), the steps' order, copies with skipped and failed pairs,
// deletions, the final clean-up of save files, folders that a cut or Shift-JIS would lose, and
// the free-space measurement and path joins it relies on.
#include <algorithm>
#include <cstdlib>
#include <cwchar>
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

// The 5 MiB kept free come on top of what the copies need: with a 3-byte copy to make, a
// drive reported with 5 MiB (5 MiB to 6 MiB less a byte) cannot be shown to hold both, so the
// update needs 6; with nothing to copy, 5 MiB still go on and 4 do not.
TEST_F(UpdateProcedure, DriveAndSpaceChecks) {
  struct Case {
    bool copies;                // COPY1 of 3 bytes, or deletions alone
    std::vector<int> free_mib;  // successive measurements
    std::vector<int> buttons;
    Seen seen;
    int measured;
    bool changed;
  } cases[] = {
      {true, {-1, -1}, {1, 2}, {"DRIVENOTREADY", "DRIVENOTREADY"}, 2, false},  // retry, cancel
      {true, {-1, 6}, {1, 1}, {"DRIVENOTREADY", "MINIOK"}, 2, true},           // retry succeeds
      {true, {4}, {1}, {"MOREDISKFREE"}, 1, false},
      {true, {5}, {1}, {"MOREDISKFREE"}, 1, false},
      {true, {6}, {1}, {"MINIOK"}, 1, true},
      {true, {INT_MAX}, {1}, {"MINIOK"}, 1, true},
      {false, {4}, {1}, {"MOREDISKFREE"}, 1, false},
      {false, {5}, {1}, {"MINIOK"}, 1, true},
  };
  write_file(src("A.DAT"), "new");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seen.back() + " after " + std::to_string(c.free_mib[0]) +
                 (c.copies ? " with a copy" : " without copies"));
    load_update((c.copies ? "COPY1_F " + src("A.DAT") + "\nCOPY1_T A.DAT\n" : std::string()) +
                "DELETE_1 OLD.DAT\n");
    write_file(game("A.DAT"), "old");
    write_file(game("OLD.DAT"), "old");
    set_free_space(c.free_mib);
    EXPECT_EQ(run(c.buttons), c.seen);
    EXPECT_EQ(measurements(), c.measured);
    EXPECT_EQ(file_state(game("A.DAT")).data, c.copies && c.changed ? "new" : "old");
    EXPECT_EQ(file_state(game("OLD.DAT")).exists, !c.changed);
    set_free_space({100});
  }
}

// The peak the copies need, from the real files' sizes: each replacing copy holds its whole
// source beside the old target, and what a smaller replacement frees serves the copies after
// it. Below the peak plus 5 MiB nothing is changed.
TEST_F(UpdateProcedure, RefusesAnUpdateItCannotFinish) {
  const size_t MIB = 1048576;
  struct Pair {
    const char* key;     // "COPY1", "COPY2" or "COPYEXE"
    const char* source;  // a file in src
    int source_mib;
    const char* target;  // a name in the game folder
    int old_mib;         // -1: no old target
  };
  struct Case {
    const char* what;
    std::vector<Pair> pairs;
    int peak_mib;
  } cases[] = {
      {"a 3 MiB file replacing one of 2 MiB", {{"COPY1", "A", 3, "A.DAT", 2}}, 3},
      {"a new file, then an executable beside the old one",
       {{"COPY1", "A", 2, "A.DAT", -1}, {"COPYEXE", "E", 2, "GAME.EXE", 1}}, 4},
      {"a smaller replacement makes room for a new file",
       {{"COPY1", "A", 1, "A.DAT", 4}, {"COPY2", "B", 3, "B.DAT", -1}}, 1},
      {"the same target twice: the second replaces the first one's copy",
       {{"COPY1", "A", 3, "X.DAT", 1}, {"COPY2", "B", 1, "X.DAT", 1},
        {"COPYEXE", "E", 2, "GAME.EXE", -1}}, 3},  // 4 if the first copy were forgotten
  };
  for (const Case& c : cases) {
    for (int refused = 1; refused >= 0; refused--) {
      SCOPED_TRACE(std::string(c.what) + (refused ? ", one MiB short" : ", just enough"));
      remove_tree(folder + "\\game");
      ASSERT_TRUE(make_folder(folder + "\\game"));
      std::string lines;
      for (const Pair& p : c.pairs) {
        write_file(src(p.source), std::string(p.source_mib * MIB, 'n'));
        if (p.old_mib >= 0) write_file(game(p.target), std::string(p.old_mib * MIB, 'o'));
        std::string key = p.key;
        lines += (key == "COPYEXE" ? "COPYEXE_F_NP " : key + "_F ") + src(p.source) + "\n" +
                 key + "_T " + p.target + "\n";
      }
      load_update(lines + "DELETE_1 NONE.DAT\n");
      std::vector<std::string> before = game_listing();
      std::vector<FileState> old_states;
      for (const Pair& p : c.pairs) old_states.push_back(file_state(game(p.target)));
      set_free_space({c.peak_mib + FREE_SPACE_MIN_MIB - refused});
      EXPECT_EQ(run({1}), Seen({refused ? "MOREDISKFREE" : "MINIOK"}));
      if (refused) {
        EXPECT_EQ(game_listing(), before);
        for (size_t i = 0; i < c.pairs.size(); i++)
          EXPECT_EQ(file_state(game(c.pairs[i].target)), old_states[i]);
      } else {
        const Pair& last = c.pairs.back();
        EXPECT_EQ(file_state(game(last.target)).data, file_state(src(last.source)).data);
      }
    }
  }
}

// A source that cannot be measured counts nothing: the update goes on and its copy fails.
TEST_F(UpdateProcedure, AnUnmeasurableSourceCountsNothing) {
  write_file(game("A.DAT"), "old");
  load_update("COPY1_F " + src("MISSING.DAT") + "\nCOPY1_T A.DAT\n");
  set_free_space({FREE_SPACE_MIN_MIB});
  EXPECT_EQ(run({1, 1}), Seen({copy_failed(src("MISSING.DAT")), UPDATE_FAILED}));
  EXPECT_EQ(file_state(game("A.DAT")).data, "old");
}

// The steps run in the procedure's order whatever the order of the lines: the copies, then
// the deletions, then the executable.
TEST_F(UpdateProcedure, StepsRunInTheProceduresOrder) {
  struct Case {
    const char* what;
    std::string lines;
    const char* name;  // the file whose end state is checked
    const char* data;  // null: it must be gone
  } cases[] = {
      {"a deleted executable comes back new",
       "COPYEXE_F_NP " + src("EXE") + "\nCOPYEXE_T GAME.EXE\nDELETE_1 GAME.EXE\n", "GAME.EXE",
       "exe"},
      {"the later pair wins", "COPY9_F " + src("NINE") + "\nCOPY9_T X.DAT\nCOPY1_F " + src("ONE") +
       "\nCOPY1_T X.DAT\n", "X.DAT", "nine"},
      {"a deletion comes after the copies",
       "DELETE_1 Y.DAT\nCOPY4_F " + src("ONE") + "\nCOPY4_T Y.DAT\n", "Y.DAT", nullptr},
  };
  write_file(src("EXE"), "exe");
  write_file(src("ONE"), "one");
  write_file(src("NINE"), "nine");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(game(c.name), "old");
    load_update(c.lines);
    EXPECT_EQ(run({1}), Seen({"MINIOK"}));
    FileState end = file_state(game(c.name));
    EXPECT_EQ(end.exists, c.data != nullptr);
    if (c.data) {
      EXPECT_EQ(end.data, c.data);
    }
  }
}

// "NULL" means nothing to do for a deletion, but the configuration name knows no such rule.
TEST_F(UpdateProcedure, NullNamesForDeletions) {
  write_file(game("NULL"), "x");
  write_file(game("NULL.SAV"), "x");
  load_update("DELETE_1 NULL\nDELCONFIG 1\nCONFIGNAME NULL\n");
  EXPECT_EQ(run({1}), Seen({"MINIOK"}));
  EXPECT_EQ(game_listing(), std::vector<std::string>({"NULL"}));
}

// A "SaveDir" of 150 bytes is used whole: nothing goes to the sibling folder that its first
// 127 bytes name.
TEST_F(UpdateProcedure, ALongFolderIsNeverCut) {
  std::string parent = game_full_path();
  std::string long_dir = parent + "\\" + std::string(150 - parent.size() - 1, 'd');
  std::string sibling = long_dir.substr(0, 127);
  ASSERT_EQ(long_dir.size(), 150u);
  ASSERT_GT(sibling.size(), parent.size() + 1);
  ASSERT_TRUE(make_folder(long_dir));
  ASSERT_TRUE(make_folder(sibling));
  write_file(src("A.DAT"), "new");
  for (const std::string& dir : {long_dir, sibling}) {
    write_file(dir + "\\A.DAT", "old");
    write_file(dir + "\\OLD.DAT", "old");
  }
  set_record("1", &long_dir);
  load_update("COPY1_F " + src("A.DAT") + "\nCOPY1_T A.DAT\nDELETE_1 OLD.DAT\n");
  EXPECT_EQ(run({1}), Seen({"MINIOK"}));
  EXPECT_EQ(file_state(long_dir + "\\A.DAT").data, "new");
  EXPECT_FALSE(file_state(long_dir + "\\OLD.DAT").exists);
  EXPECT_EQ(folder_listing(sibling), std::vector<std::string>({"A.DAT", "OLD.DAT"}));
  EXPECT_EQ(file_state(sibling + "\\A.DAT").data, "old");
}

// A game folder whose name Shift-JIS cannot hold (accented, Chinese and Korean letters): the
// copies, deletions and the final clean-up all reach it, the free space is measured on it, and
// the Japanese names of the description are joined to it. Runs again under code page 1252.
TEST_F(UpdateProcedure, AFolderNamedBeyondShiftJis) {
  std::wstring base = widen(game_full_path());
  std::wstring dir = base + L"\\J\u00FCrgen";
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  dir += L"\\\u6E38\u620F \uAC8C\uC784";
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  set_record_wide(dir);
  set_free_space_probe(nullptr);  // the real measurement, on this folder
  write_file(src("データ表.PAK"), std::string(40000, 'p'), FILE_ATTRIBUTE_READONLY);
  write_file(src("ソフト.EXE"), "exe");
  const std::wstring pak = dir + L"\\\u30C7\u30FC\u30BF\u8868.PAK";  // データ表.PAK
  const std::wstring exe = dir + L"\\\u30BD\u30D5\u30C8.EXE";         // ソフト.EXE
  write_wide(exe, "old exe", FILE_ATTRIBUTE_READONLY);
  write_wide(dir + L"\\GONE.DAT", "x");
  write_wide(dir + L"\\CFG.SAV", "x");
  write_wide(dir + L"\\SV00.SAV", "x");
  write_wide(dir + L"\\KEEP.DAT", "x");
  load_update("COPYPAK_F " + src("データ表.PAK") + "\nCOPYPAK_T データ表.PAK\n"
              "COPYEXE_F_NP " + src("ソフト.EXE") + "\nCOPYEXE_T ソフト.EXE\n"
              "DELETE_1 GONE.DAT\nDELCONFIG 1\nCONFIGNAME CFG\nDELSAVE 1\nSAVENAME SV\n");
  EXPECT_EQ(run({1}), Seen({"MINIOK"}));
  EXPECT_EQ(wide_listing(dir), std::vector<std::wstring>({L"KEEP.DAT",
                                                          L"\u30BD\u30D5\u30C8.EXE",
                                                          L"\u30C7\u30FC\u30BF\u8868.PAK"}));
  EXPECT_EQ(wide_data(pak), std::string(40000, 'p'));
  EXPECT_EQ(wide_data(exe), "exe");
  EXPECT_EQ(wide_attributes(pak), (DWORD)FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(wide_attributes(exe), (DWORD)FILE_ATTRIBUTE_ARCHIVE);
  // Nothing went to a folder named by a lossy conversion ("J?rgen", "Jurgen").
  EXPECT_EQ(wide_listing(base), std::vector<std::wstring>({L"J\u00FCrgen"}));
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
    EXPECT_EQ(copy_pair(widen(folder + "\\game").c_str(), "COPY1_F", "COPY1_T"), 0);
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
  EXPECT_EQ(copy_pair(widen(padded).c_str(), "COPY1_F", "COPY1_T"), 1);
  EXPECT_EQ(robot_wait(60000), 1);
  EXPECT_EQ(robot_seen(), Seen({copy_failed(src("A.DAT"))}));
  EXPECT_TRUE(game_listing().empty());
}

// The cp932 name is converted and joined to the UTF-16 folder; a path of 260 characters or
// more, or a name that is not Shift-JIS, gives nothing rather than a cut path.
TEST(JoinFolderPath, FitsOrFailsWhole) {
  wchar_t out[PATH_TEXT_SIZE];
  std::wstring folder(200, L'f');
  EXPECT_EQ(join_folder_path(out, folder.c_str(), std::string(58, 'n').c_str()), 0);
  EXPECT_EQ(wcslen(out), 259u);
  EXPECT_EQ(out[200], L'\\');
  EXPECT_EQ(join_folder_path(out, folder.c_str(), (std::string(52, 'n') + "00.SAV").c_str()), 0);
  EXPECT_EQ(std::wstring(out + 253), L"00.SAV");
  EXPECT_EQ(join_folder_path(out, folder.c_str(), std::string(59, 'n').c_str()), -1);
  EXPECT_EQ(std::wstring(out), L"");
  // 58 characters in 116 bytes of Shift-JIS still fit: the limit counts characters.
  std::string kanji;
  for (int i = 0; i < 58; i++) kanji += "表";
  EXPECT_EQ(join_folder_path(out, folder.c_str(), kanji.c_str()), 0);
  EXPECT_EQ(out[258], L'\u8868');
  EXPECT_EQ(join_folder_path(out, L"C:\\J\u00FCrgen", "ソフト\\表.DAT"), 0);
  EXPECT_EQ(std::wstring(out), L"C:\\J\u00FCrgen\\\u30BD\u30D5\u30C8\\\u8868.DAT");
  EXPECT_EQ(join_folder_path(out, L"C:\\game", "\x83"), -1);  // a lone lead byte
  EXPECT_EQ(std::wstring(out), L"");
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

// The folder itself is asked first (with a trailing backslash, as a share's root needs);
// only when it cannot be measured, its drive's root, or the current drive's for a path
// without a drive letter; -1 when that fails too.
struct ScriptedDisks {
  std::vector<std::pair<std::wstring, int>> answers;  // path -> MiB
  std::vector<std::wstring> asked;
};
ScriptedDisks disks;

int scripted_disk(const wchar_t* path, unsigned long long* available) {
  disks.asked.push_back(path);
  for (const auto& answer : disks.answers)
    if (answer.first == path) {
      *available = (unsigned long long)answer.second * 1048576 + 1048575;
      return 1;
    }
  return 0;
}

TEST(FreeSpace, TheFolderFirstThenItsDriveRoot) {
  struct Case {
    const wchar_t* folder;
    std::vector<std::pair<std::wstring, int>> answers;
    int mib;
    std::vector<std::wstring> asked;
  } cases[] = {
      {L"\\\\server\\share\\game", {{L"\\\\server\\share\\game\\", 7}, {L"\\", 1}}, 7,
       {L"\\\\server\\share\\game\\"}},
      {L"\\\\server\\share\\game", {{L"\\", 3}}, 3, {L"\\\\server\\share\\game\\", L"\\"}},
      {L"D:\\mounted\\disk", {{L"D:\\mounted\\disk\\", 900}, {L"D:\\", 1}}, 900,
       {L"D:\\mounted\\disk\\"}},
      {L"D:\\gone", {{L"D:\\", 2}}, 2, {L"D:\\gone\\", L"D:\\"}},
      {L"C:\\game\\", {{L"C:\\game\\", 4}}, 4, {L"C:\\game\\"}},
      {L"game", {{L"\\", 5}}, 5, {L"game\\", L"\\"}},
      {L"C:\\x", {}, -1, {L"C:\\x\\", L"C:\\"}},
  };
  set_disk_free_query(scripted_disk);
  for (const Case& c : cases) {
    disks.answers = c.answers;
    disks.asked.clear();
    EXPECT_EQ(free_space_mib(c.folder), c.mib) << narrow(c.folder);
    EXPECT_EQ(disks.asked, c.asked) << narrow(c.folder);
  }
  set_disk_free_query(nullptr);
}

// The real measurement under Wine: a folder on another volume (Wine's Z:\dev\shm, a memory
// file system mounted below the root) gives its own volume's space, not its drive root's; a
// network folder that cannot be reached and a folder that does not exist fall back to the
// root; a drive that does not exist gives -1.
TEST(FreeSpace, MeasuresTheFoldersOwnVolume) {
  const int slack = 256;  // other programs write to the same disks meanwhile
  auto system_mib = [](const wchar_t* path) {
    ULARGE_INTEGER available, total, total_free;
    if (!GetDiskFreeSpaceExW(path, &available, &total, &total_free)) return -1;
    return whole_mib(available.QuadPart);
  };
  int current_root = system_mib(L"\\");
  ASSERT_GE(current_root, 0);
  EXPECT_NEAR(free_space_mib(L"\\\\server\\share\\game"), current_root, slack);
  EXPECT_NEAR(free_space_mib(L"no such folder"), current_root, slack);
  wchar_t here[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, here);
  EXPECT_NEAR(free_space_mib(here), system_mib(here), slack);
  int shm = system_mib(L"Z:\\dev\\shm\\"), z_root = system_mib(L"Z:\\");
  if (shm >= 0 && z_root >= 0) {
    EXPECT_NEAR(free_space_mib(L"Z:\\dev\\shm"), shm, slack);
    if (std::abs(shm - z_root) > 2 * slack)
      EXPECT_GT(std::abs(free_space_mib(L"Z:\\dev\\shm") - z_root), slack);
    else
      printf("Z:\\dev\\shm and Z:\\ have the same free space here: not told apart\n");
  } else {
    printf("no Z:\\dev\\shm here: the mount point case is not measured\n");
  }
  DWORD drives = GetLogicalDrives();
  for (wchar_t letter = L'Y'; letter >= L'D'; letter--) {
    if (drives & (1u << (letter - L'A'))) continue;
    wchar_t absent[] = {letter, L':', L'\\', L'g', 0};
    EXPECT_EQ(free_space_mib(absent), -1) << narrow(absent);
    break;
  }
}

}  // namespace
