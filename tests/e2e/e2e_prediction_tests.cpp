// The dry run against the real updater where its rules matter most: a read-only target
// replaced, a read-only file kept from deletion, a target whose folder does not exist, names
// and folders written in another letter case, a file named by "..". The fixture compares the
// prediction with the folder the updater leaves; these tests add the folder's expected end.
#include "e2e_fixture.h"

namespace {

class PredictionHeld : public EndToEnd {};

TEST_F(PredictionHeld, ReadOnlyFilesMissingFoldersAndLetterCase) {
  ASSERT_TRUE(make_folder(in_game("Data")));
  write_file(on_medium("NEW.DAT"), "new data");
  write_file(on_medium("ReadMe.txt"), "read me\r\n");
  write_file(in_game("RO.DAT"), "read-only", FILE_ATTRIBUTE_READONLY);
  write_file(in_game("KEPT.DAT"), "kept", FILE_ATTRIBUTE_READONLY);
  write_file(in_game("Old.Dat"), "old");
  write_file(in_game("Data\\Inner.dat"), "inner");
  write_env(
      stage,
      "APPNAME テストゲーム\r\nCOPY1_F NEW.DAT\r\nCOPY1_T RO.DAT\r\n"
      "COPY2_F NEW.DAT\r\nCOPY2_T DATA\\INNER.DAT\r\nCOPY3_F NEW.DAT\r\nCOPY3_T NONE\\X.DAT\r\n"
      "COPY4_F new.dat\r\nCOPY4_T NONE\\..\\Y.DAT\r\nDELETE_1 KEPT.DAT\r\nDELETE_2 OLD.DAT\r\n"
      "DELETE_3 ABSENT.DAT\r\n");
  write_splash(stage);
  ASSERT_EQ(0, pack());
  ASSERT_TRUE(start());
  std::string confirm = answer(IDOK);
  EXPECT_NE(confirm.find("「テストゲーム」"), std::string::npos) << confirm;
  EXPECT_NE(answer(IDOK).find("ファイル[ NEW.DAT ]のコピーに失敗しました"), std::string::npos);
  EXPECT_NE(answer(IDOK).find("アップデートに失敗しました"), std::string::npos);
  EXPECT_EQ(0u, finish());
  EXPECT_EQ(folder_listing(game),
            std::vector<std::string>({"Data", "KEPT.DAT", "RO.DAT", "Y.DAT"}));
  EXPECT_EQ(file_state(in_game("RO.DAT")).attributes, (DWORD)FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(file_state(in_game("KEPT.DAT")).data, "kept");
}

// The full success with the configuration and save files, one of them read-only.
TEST_F(PredictionHeld, SavesAfterSuccessReadOnlyKept) {
  write_file(on_medium("G.EXE"), "game");
  write_file(on_medium("ReadMe.txt"), "read me\r\n");
  write_file(in_game("game.exe"), "old game");
  write_file(in_game("cfg.sav"), "c");
  write_file(in_game("SV00.SAV"), "0");
  write_file(in_game("SV05.SAV"), "5", FILE_ATTRIBUTE_READONLY);
  write_env(stage,
            "COPYEXE_F_NP G.EXE\r\nCOPYEXE_T GAME.EXE\r\nDELCONFIG 1\r\nCONFIGNAME CFG\r\n"
            "DELSAVE 1\r\nSAVENAME SV\r\n");
  write_splash(stage);
  ASSERT_EQ(0, pack());
  ASSERT_TRUE(start());
  answer(IDOK);
  EXPECT_EQ(0u, answer(IDOK).rfind("アップデート終了|", 0));
  EXPECT_EQ(0u, finish());
  EXPECT_EQ(folder_listing(game).size(), 2u);
  EXPECT_EQ(file_state(in_game("GAME.EXE")).data, "game");
}

}  // namespace
