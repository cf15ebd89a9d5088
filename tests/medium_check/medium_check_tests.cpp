// The medium checker, one small medium per mistake: each case changes the sound medium in
// one way and expects its finding (level, file, line and a part of the text) and the exit
// code. The sound medium itself has no findings, and the report shows the effective settings.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "display_double.h"
#include "findings.h"
#include "frame_double.h"
#include "medium_builder.h"
#include "medium_check.h"
#include "resfs_files.h"

namespace {

struct Expected {
  FindingLevel level;
  const char* file;  // the finding's file
  int line;          // 0: none
  const char* text;  // a part of its text
};

struct MediumCase {
  const char* name;
  void (*change)(MediumParts& parts);
  int exit_code;
  Expected finding;
};

void PrintTo(const MediumCase& c, std::ostream* os) { *os << c.name; }

std::string env_with(const std::string& extra) { return std::string(kSoundEnv) + extra; }

std::string lines_of(int count, const char* stem) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(stem) + std::to_string(i) + " x\n";
  return text;
}

// A splash picture ImageMagick wrote (make_splashes.sh), from the test's build folder; the
// scratch folder of each test lies inside it.
std::string written_by_imagemagick(const char* name) {
  FILE* file = fopen((std::string("../") + name + ".bmp").c_str(), "rb");
  EXPECT_TRUE(file) << name;
  if (!file) return std::string();
  std::string bytes = read_rest(file);
  fclose(file);
  return bytes;
}

int all_colours(int c, int r) { return (c + r * 3) % 256; }

const char kPak[] = "UPDATE.PAK[UPDATE.ENV]";
const char kBmp[] = "UPDATE.PAK[update.bmp]";

const MediumCase kCases[] = {
    {"KeyWithoutValue", [](MediumParts& m) { m.env = env_with("DELSAVE\nSAVENAME SAVE\n"); }, 1,
     {FINDING_ERROR, kPak, 9, "DELSAVE has no value on its line: the updater takes the next token, \"SAVENAME\" (line 10)"}},
    {"ValueEndsTheFile", [](MediumParts& m) { m.env = env_with("CONFIGNAME\n"); m.env_plain = true; }, 1,
     {FINDING_ERROR, "UPDATE.ENV", 9, "CONFIGNAME has no value and nothing follows it: the updater takes \"0\""}},
    {"KeyJoinedByEquals", [](MediumParts& m) { m.env = env_with("DELSAVE=1\n"); }, 1,
     {FINDING_ERROR, kPak, 9, "\"DELSAVE=1\" is one token: an equals sign does not separate, so the updater does not find DELSAVE; write \"DELSAVE 1\""}},
    {"ValueStartsWithEquals", [](MediumParts& m) { m.env = env_with("SAVENAME = SAVE\n"); }, 1,
     {FINDING_ERROR, kPak, 9, "SAVENAME's value \"=\" starts with \"=\""}},
    {"SettingCutAt79Bytes",
     [](MediumParts& m) { m.env = env_with("DELETE_1 " + std::string(80, 'n') + "TAIL\n"); }, 1,
     {FINDING_ERROR, kPak, 9, "line longer than 79 bytes: the updater keeps its first 79 bytes and reads the rest (\"nnnnnnnnnnTAIL\")"}},
    {"CommentCutAt79Bytes",
     [](MediumParts& m) { m.env = env_with("/" + std::string(78, '-') + "note\n"); }, 2,
     {FINDING_WARNING, kPak, 9, "comment longer than 79 bytes: the updater reads its rest as a setting line with the key \"note\""}},
    {"CommentCutIntoAKey",
     [](MediumParts& m) { m.env = env_with("/" + std::string(78, '-') + "DELSAVE 1\n"); }, 1,
     {FINDING_ERROR, kPak, 9, "with the key \"DELSAVE\""}},
    {"LinesPastThe200th",
     [](MediumParts& m) { m.env = env_with(lines_of(193, "NOTE") + "/ the last ones\nSAVENAME SAVE\nDELSAVE 1\n"); }, 1,
     {FINDING_ERROR, kPak, 203, "stores only 200 lines: this line and 1 more setting line after it are never read, SAVENAME"}},
    {"ByteOrderMark", [](MediumParts& m) { m.env = "\xEF\xBB\xBF" + std::string(kSoundEnv).substr(17); }, 1,
     {FINDING_ERROR, kPak, 1, "the file begins with a UTF-8 byte order mark: the updater reads the first key as three more bytes and \"APPTITLE\""}},
    {"Utf8Text",  // 星の丘 in UTF-8
     [](MediumParts& m) { m.env = env_with("/ note\nDELETE_1 \xE6\x98\x9F\xE3\x81\xAE\xE4\xB8\x98.DAT\n"); }, 2,
     {FINDING_WARNING, kPak, 10, "the file looks like UTF-8 text: the updater reads Shift-JIS"}},
    {"ShiftJisText",  // 星の丘 in Shift-JIS: no finding
     [](MediumParts& m) { m.env = env_with("DELETE_1 \x90\xAF\x82\xCC\x8B\x75.DAT\n"); }, 0,
     {FINDING_ERROR, nullptr, 0, nullptr}},
    {"CopyPairTen", [](MediumParts& m) { m.env = env_with("COPY10_F NEW.DAT\nCOPY10_T NEW.DAT\n"); }, 1,
     {FINDING_ERROR, kPak, 9, "\"COPY10_F\" is not a key the updater reads (the copy pairs are COPYPAK and COPY1 to COPY9 only)"}},
    {"DeleteTen", [](MediumParts& m) { m.env = env_with("DELETE_10 OLD.DAT\n"); }, 1,
     {FINDING_ERROR, kPak, 9, "\"DELETE_10\" is not a key the updater reads (the deletions are DELETE_1 to DELETE_9 only)"}},
    {"ExecutableKeyWithoutSuffix",
     [](MediumParts& m) { m.env = env_with("COPYEXE_F NEW.DAT\nCOPYEXE_T GAME.EXE\n"); }, 1,
     {FINDING_ERROR, kPak, 9, "\"COPYEXE_F\" is not a key the updater reads (the updater's key is COPYEXE_F_NP)"}},
    {"MisspelledKey", [](MediumParts& m) { m.env = env_with("DELETE_1 OLD.DAT\nSAVNAME SAVE\n"); }, 1,
     {FINDING_ERROR, kPak, 10, "\"SAVNAME\" is not a key the updater reads (1 letter from SAVENAME)"}},
    {"LowerCaseKey", [](MediumParts& m) { m.env = env_with("delete_1 OLD.DAT\n"); }, 2,
     {FINDING_WARNING, kPak, 9, "\"delete_1\" is not written in upper case: the updater finds it all the same, as DELETE_1"}},
    {"IndentedKey", [](MediumParts& m) { m.env = env_with("  DELETE_1 OLD.DAT\n"); }, 1,
     {FINDING_ERROR, kPak, 9, "the line starts with a space: the updater stores it with an empty key and never finds \"DELETE_1\""}},
    {"SameKeyTwice", [](MediumParts& m) { m.env = env_with("APPNAME Other\n"); }, 1,
     {FINDING_ERROR, kPak, 9, "APPNAME again: the updater uses the first one, on line 3, and never this value"}},
    {"SameKeyTwiceSameValue", [](MediumParts& m) { m.env = env_with("APPNAME Sample\n"); }, 2,
     {FINDING_WARNING, kPak, 9, "APPNAME again: the updater uses the first one, on line 3 (the same value)"}},
    {"PairWithOneHalf", [](MediumParts& m) { m.env = env_with("COPY2_F NEW.DAT\n"); }, 1,
     {FINDING_ERROR, kPak, 9, "COPY2_F without COPY2_T: the updater skips the pair"}},
    {"NullConfigName", [](MediumParts& m) { m.env = env_with("DELCONFIG 1\nCONFIGNAME NULL\n"); }, 1,
     {FINDING_ERROR, kPak, 10, "CONFIGNAME NULL does not mean \"nothing\" here: the updater deletes NULL.SAV"}},
    {"NullSaveNameWithoutFlag", [](MediumParts& m) { m.env = env_with("SAVENAME null\n"); }, 2,
     {FINDING_WARNING, kPak, 9, "SAVENAME NULL does not mean \"nothing\" here"}},
    {"ReadOnPastTheFileSuppliesAKey",
     [](MediumParts& m) { m.members.push_back({"UPDATE.FOO", "DELSAVE 1\n"}); }, 1,
     {FINDING_ERROR, kPak, 8, "reading on past the end of the file into the member UPDATE.FOO after it, the updater finds DELSAVE (value \"1\")"}},
    {"ReadOnPastTheFileSuppliesAValue",
     [](MediumParts& m) { m.env = env_with("SAVENAME\n"); m.members.push_back({"UPDATE.FOO", "OOPS\n"}); }, 1,
     {FINDING_ERROR, kPak, 9, "SAVENAME has no value on its line: reading on past the end of the file into the member UPDATE.FOO after it, the updater takes \"OOPS\""}},
    {"LastLineWithoutLineFeed",
     [](MediumParts& m) { m.env = env_with("SAVENAME SAVE"); m.members.push_back({"UPDATE.FOO", "X\n"}); }, 1,
     {FINDING_ERROR, kPak, 9, "the last line has no line feed: inside the archive the updater reads on into the member UPDATE.FOO after it"}},
    {"LastLineWithoutLineFeedBeforeALineFeed",  // what follows ends the line at once: no harm
     [](MediumParts& m) { m.env = env_with("SAVENAME SAVE"); m.members.push_back({"UPDATE.FOO", "\r\nX\n"}); }, 0,
     {FINDING_ERROR, nullptr, 0, nullptr}},
    {"LineOf79BytesIsWhole",
     [](MediumParts& m) { m.env = env_with("DELETE_1 " + std::string(70, 'n') + "\n"); }, 0,
     {FINDING_ERROR, nullptr, 0, nullptr}},
    {"EnvUnderAFolderName",
     [](MediumParts& m) { m.with_env = false; m.members.push_back({"files\\UPDATE.ENV", kSoundEnv}); }, 1,
     {FINDING_ERROR, "UPDATE.PAK", 0, "member \"files\\UPDATE.ENV\" is stored under a folder name"}},
    {"TrailByteBackslashIsNoFolder",  // 表 is 95 5C: its second byte is no separator
     [](MediumParts& m) { m.members.push_back({"\x95\x5C.DAT", "x"}); }, 0,
     {FINDING_ERROR, nullptr, 0, nullptr}},
    {"EnvOnlyUnderAFolderName",
     [](MediumParts& m) { m.with_env = false; m.members.push_back({"files\\UPDATE.ENV", kSoundEnv}); }, 1,
     {FINDING_ERROR, "", 0, "UPDATE.ENV is found nowhere (UPDATE.PAK holds it under a folder name)"}},
    {"CopySourceMissing", [](MediumParts& m) { m.with_source = false; }, 1,
     {FINDING_ERROR, kPak, 7, "COPY1_F \"NEW.DAT\" is not on the medium: the copy fails"}},
    {"CopySourceOnlyInTheArchive",
     [](MediumParts& m) { m.with_source = false; m.members.push_back({"NEW.DAT", "x"}); }, 1,
     {FINDING_ERROR, kPak, 7, "it is in UPDATE.PAK[NEW.DAT], but copies read plain files beside the updater"}},
    {"ReadMeMissing", [](MediumParts& m) { m.with_readme = false; }, 1,
     {FINDING_ERROR, kPak, 4, "the read-me \"ReadMe.txt\" is not on the medium"}},
#ifndef _WIN32  // Windows opens the name in any case: no finding there
    {"ReadMeInAnotherCase",
     [](MediumParts& m) { m.with_readme = false; m.plain_files.push_back({"README.TXT", "x"}); }, 2,
     {FINDING_WARNING, kPak, 4, "the read-me \"ReadMe.txt\" is on the medium only as \"README.TXT\""}},
    {"CopySourceInAnotherCase",
     [](MediumParts& m) { m.with_source = false; m.plain_files.push_back({"new.dat", "x"}); }, 2,
     {FINDING_WARNING, kPak, 7, "COPY1_F \"NEW.DAT\" is on the medium only as \"new.dat\""}},
#endif
    {"BitmapMissing", [](MediumParts& m) { m.with_bmp = false; }, 1,
     {FINDING_ERROR, "", 0, "update.bmp is found nowhere: the player gets"}},
    {"DataFileMissing", [](MediumParts& m) { m.with_itw = false; }, 1,
     {FINDING_ERROR, "", 0, "update.itw is found nowhere"}},
    {"BitmapNotABmp", [](MediumParts& m) { m.bmp = "GIF89a and more"; }, 1,
     {FINDING_ERROR, kBmp, 0, "not a BMP file"}},
    {"BitmapOneBit",
     [](MediumParts& m) { BmpShape s; s.bits = 1; s.entries = 2; m.bmp = bmp_picture(s); }, 1,
     {FINDING_ERROR, kBmp, 0, "1 bit per pixel: the updater draws only 4- and 8-bit pictures"}},
    {"BitmapTrueColour",
     [](MediumParts& m) { BmpShape s; s.bits = 24; s.entries = 0; m.bmp = bmp_picture(s); }, 1,
     {FINDING_ERROR, kBmp, 0, "24 bits per pixel"}},
    {"BitmapFourBitOddWidth",
     [](MediumParts& m) { BmpShape s; s.bits = 4; s.entries = 16; s.width = 479; m.bmp = bmp_picture(s); }, 2,
     {FINDING_WARNING, kBmp, 0, "4 bits per pixel with an odd width (479): the updater draws one column more"}},
    {"BitmapFourBitEven",  // a 16-colour picture of the right size is fine
     [](MediumParts& m) { BmpShape s; s.bits = 4; s.entries = 16; m.bmp = bmp_picture(s); }, 0,
     {FINDING_ERROR, nullptr, 0, nullptr}},
    {"BitmapCompressed",
     [](MediumParts& m) { BmpShape s; s.compression = 1; m.bmp = bmp_picture(s); }, 1,
     {FINDING_ERROR, kBmp, 0, "the picture is stored RLE8 (compression 1)"}},
    {"BitmapMoreThan220Colours",
     [](MediumParts& m) { BmpShape s; s.entries = 256; s.pixel = all_colours; m.bmp = bmp_picture(s); }, 2,
     {FINDING_WARNING, kBmp, 0, "use colour indices above 219 (up to 255; 256 colours used)"}},
    {"BitmapPixelOffsetDiffers",
     [](MediumParts& m) { BmpShape s; s.gap = 4; s.offset_shift = 0; m.bmp = bmp_picture(s); }, 2,
     {FINDING_WARNING, kBmp, 0, "the file header puts the pixels at byte 938, but the updater reads them from byte 934"}},
    {"BitmapOtherSize",
     [](MediumParts& m) { BmpShape s; s.width = 640; s.height = -400; m.bmp = bmp_picture(s); }, 2,
     {FINDING_WARNING, kBmp, 0, "the picture is 640 x 400, not 480 x 280; columns past 480 lie outside the window and past the page, cut off; rows past 280 are covered by the title band"}},
    {"BitmapShortFileSizeField",
     [](MediumParts& m) { m.bmp = bmp_picture(BmpShape()); m.bmp[2] = char(m.bmp[2] - 100); }, 2,
     {FINDING_WARNING, kBmp, 0, "1 of the 280 rows lie past the bytes the loader reads"}},
    // Pictures as another writer saves them.
    {"ImageMagickSound", [](MediumParts& m) { m.bmp = written_by_imagemagick("sound"); }, 0,
     {FINDING_ERROR, nullptr, 0, nullptr}},
    {"ImageMagickTwoColours", [](MediumParts& m) { m.bmp = written_by_imagemagick("two_colours"); }, 1,
     {FINDING_ERROR, kBmp, 0, "1 bit per pixel: the updater draws only 4- and 8-bit pictures, so the splash stays black"}},
    {"ImageMagickSixteenColoursOddWidth", [](MediumParts& m) { m.bmp = written_by_imagemagick("sixteen_odd"); }, 2,
     {FINDING_WARNING, kBmp, 0, "4 bits per pixel with an odd width (481)"}},
    {"ImageMagickSixteenColours", [](MediumParts& m) { m.bmp = written_by_imagemagick("sixteen"); }, 0,
     {FINDING_ERROR, nullptr, 0, nullptr}},
    {"ImageMagickCompressed", [](MediumParts& m) { m.bmp = written_by_imagemagick("rle"); }, 1,
     {FINDING_ERROR, kBmp, 0, "the picture is stored RLE8 (compression 1)"}},
    {"ImageMagickFullPalette", [](MediumParts& m) { m.bmp = written_by_imagemagick("full"); }, 2,
     {FINDING_WARNING, kBmp, 0, "pixels use colour indices above 219"}},
    {"FolderWithoutMarker",
     [](MediumParts& m) { m.plain_files.push_back({"UPDATE\\UPDATE.ENV", kSoundEnv}); }, 2,
     {FINDING_WARNING, "UPDATE\\UPDATE.ENV", 0, "not used: the folder UPDATE has no PK.BAT"}},
    {"EnvMissing", [](MediumParts& m) { m.with_env = false; }, 1,
     {FINDING_ERROR, "", 0, "UPDATE.ENV is found nowhere"}},
};

std::string report_text(void) {
  std::string text;
  write_medium_report([](void* out, const char* piece) { *static_cast<std::string*>(out) += piece; }, &text);
  return text;
}

class MediumCheck : public ScratchTest, public ::testing::WithParamInterface<MediumCase> {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    display_double_reset();
  }
};

TEST_P(MediumCheck, FindsTheMistake) {
  const MediumCase& c = GetParam();
  MediumParts parts = sound_medium();
  c.change(parts);
  write_medium(parts);
  int code = check_medium();
  std::string report = report_text();
  EXPECT_EQ(c.exit_code, code) << report;
  EXPECT_EQ(0, frame_double()->box_count) << "the checker never asks or tells through boxes";
  if (!c.finding.text) {
    EXPECT_EQ(0, finding_count()) << report;
    return;
  }
  bool found = false;
  for (int i = 0; i < kept_finding_count() && !found; ++i) {
    const Finding* f = finding_at(i);
    found = f->level == c.finding.level && std::string(f->file) == c.finding.file &&
            f->line == c.finding.line && std::string(f->text).find(c.finding.text) != std::string::npos;
  }
  EXPECT_TRUE(found) << "expected " << c.finding.file << ":" << c.finding.line << ": "
                     << c.finding.text << "\nreport:\n" << report;
}

INSTANTIATE_TEST_SUITE_P(Mistakes, MediumCheck, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<MediumCase>& param) { return std::string(param.param.name); });

using MediumReport = ScratchTest;

TEST_F(MediumReport, SoundMediumHasNoFindingsAndShowsTheSettings) {
  write_medium(sound_medium());
  EXPECT_EQ(0, check_medium());
  std::string report = report_text();
  EXPECT_EQ(0, finding_count()) << report;
  EXPECT_NE(std::string::npos, report.find("Update source: UPDATE.PAK, ADPACK32 directory, 4 entries\n")) << report;
  EXPECT_NE(std::string::npos, report.find("UPDATE.ENV: UPDATE.PAK[UPDATE.ENV], 8 lines read")) << report;
  EXPECT_NE(std::string::npos, report.find("  APPTITLE      Sample Update  (line 2)\n")) << report;
  EXPECT_NE(std::string::npos, report.find("  SAVEISSAFE    0  (default)\n")) << report;
  EXPECT_NE(std::string::npos, report.find("  CONFIGNAME    -  (absent: configuration file not deleted)\n")) << report;
  EXPECT_NE(std::string::npos, report.find("  COPY1_T       NEW.DAT  (line 8)\n")) << report;
  EXPECT_NE(std::string::npos, report.find("0 errors, 0 warnings\n")) << report;
}

TEST_F(MediumReport, IntegerSettingsShowTheNumberTheUpdaterGets) {
  MediumParts parts = sound_medium();
  parts.env = env_with("DELSAVE 1|2\nSAVENAME SAVE\nSAVEISSAFE yes\n");
  write_medium(parts);
  check_medium();
  std::string report = report_text();
  EXPECT_NE(std::string::npos, report.find("  DELSAVE       1 (from \"1 2\")  (line 9)\n")) << report;
  EXPECT_NE(std::string::npos, report.find("  SAVEISSAFE    0 (from \"yes\")  (line 11)\n")) << report;
}

TEST_F(MediumReport, FolderSourceAndDefaults) {
  make_dir("UPDATE");
  put_file("UPDATE\\PK.BAT", "");
  put_file("UPDATE\\UPDATE.ENV", "APPNAME Sample\n");
  put_file("UPDATE\\update.bmp", bmp_picture(BmpShape()));
  put_file("UPDATE\\update.itw", itw_file());
  put_file("ReadMe.txt", "x");
  EXPECT_EQ(0, check_medium());
  std::string report = report_text();
  EXPECT_NE(std::string::npos, report.find("Update source: the folder UPDATE (it holds PK.BAT)\n")) << report;
  EXPECT_NE(std::string::npos, report.find("UPDATE.ENV: UPDATE\\UPDATE.ENV, 1 lines read")) << report;
  EXPECT_NE(std::string::npos, report.find("  README        ReadMe.txt  (default)\n")) << report;
  EXPECT_NE(std::string::npos, report.find("  COPYPAK_F     -  (absent: pair skipped)\n")) << report;
}

}  // namespace
