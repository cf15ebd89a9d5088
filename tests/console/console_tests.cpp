// The console frame (boxes on stderr, Cancel for questions, app_exit with the shutdown chain,
// allocation) and the cp932 / UTF-8 conversions of the console text helpers.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "console_text.h"
#include "frame.h"

namespace {

// 表 (955C, trail byte 0x5C), ソ (835C), half-width ｱ (B1), ① (8740) and their UTF-8 forms.
const char SJIS_NAMES[] = "\x95\x5C\x83\x5C\xB1\x87\x40.TXT";
const char UTF8_NAMES[] = "\xE8\xA1\xA8\xE3\x82\xBD\xEF\xBD\xB1\xE2\x91\xA0.TXT";

TEST(ConsoleText, Cp932ToUtf8AndBack) {
  char utf8[64], sjis[64];
  ASSERT_EQ(console_cp932_to_utf8(SJIS_NAMES, utf8, sizeof utf8), int(strlen(UTF8_NAMES)));
  EXPECT_STREQ(utf8, UTF8_NAMES);
  ASSERT_EQ(console_utf8_to_cp932(UTF8_NAMES, sjis, sizeof sjis), int(strlen(SJIS_NAMES)));
  EXPECT_STREQ(sjis, SJIS_NAMES);
}

TEST(ConsoleText, LiteralsAreCp932) {
  // The compiler turns the source's UTF-8 into cp932: what the tools print of their own texts
  // goes through the same conversion as names from archives.
  char utf8[32];
  ASSERT_GT(console_cp932_to_utf8("表", utf8, sizeof utf8), 0);
  EXPECT_STREQ(utf8, "\xE8\xA1\xA8");
}

TEST(ConsoleText, InvalidCp932BecomesReplacementAndGoesOn) {
  char utf8[64];
  // 0x81 0x20: a lead byte with a trail byte cp932 does not have; a lone lead byte at the end.
  ASSERT_GT(console_cp932_to_utf8("A\x81\x20" "B\x82", utf8, sizeof utf8), 0);
  std::string text = utf8;
  EXPECT_EQ(text.substr(0, 1), "A");
  EXPECT_NE(text.find("\xEF\xBF\xBD"), std::string::npos) << text;
  EXPECT_NE(text.find('B'), std::string::npos) << text;
}

TEST(ConsoleText, FailuresLeaveTheOutputEmpty) {
  char out[8];
  memset(out, 'x', sizeof out);
  EXPECT_EQ(console_cp932_to_utf8(SJIS_NAMES, out, sizeof out), -1) << "does not fit";
  EXPECT_STREQ(out, "");
  memset(out, 'x', sizeof out);
  EXPECT_EQ(console_utf8_to_cp932("j\xC3\xBCrgen", out, sizeof out), -1) << "no cp932 form";
  EXPECT_STREQ(out, "");
  EXPECT_EQ(console_utf8_to_cp932("\xC3(", out, sizeof out), -1) << "not UTF-8";
  EXPECT_EQ(console_utf8_to_cp932("\xE8\xA1\xA8", out, 2), -1) << "no room for the terminator";
}

TEST(ConsoleText, PrintCutsAtACharacterBoundary) {
  FILE* file = tmpfile();
  ASSERT_NE(file, nullptr);
  std::string text = "A" + std::string(4200, 'x');
  for (size_t i = 1; i + 1 < text.size(); i += 2) text[i] = '\x95', text[i + 1] = '\x5C';  // 表...
  console_print(file, "%s", text.c_str());
  long size = ftell(file);
  rewind(file);
  std::string back(size_t(size), 0);
  ASSERT_EQ(fread(&back[0], 1, back.size(), file), back.size());
  fclose(file);
  EXPECT_EQ(back.find("\xEF\xBF\xBD"), std::string::npos) << "a character was split";
  EXPECT_EQ((back.size() - 1) % 3, 0u);  // "A" then whole 3-byte characters
  EXPECT_GT(back.size(), 6000u);
}

TEST(ConsoleFrame, BoxesGoToStderrAndQuestionsAreCancelled) {
  testing::internal::CaptureStderr();
  error_box("ファイル[表.TXT]が開けません");
  bool answer = confirm_box("リトライしますか？");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(answer);
  EXPECT_NE(err.find("error: \xE3\x83\x95"), std::string::npos) << err;  // フ
  EXPECT_NE(err.find("[\xE8\xA1\xA8.TXT]"), std::string::npos) << err;
  EXPECT_NE(err.find("answered Cancel"), std::string::npos) << err;
}

void last_words(void) { fputs("chain ran\n", stderr); }

TEST(ConsoleFrameDeath, AppExitRunsTheChainAndEndsWithTheCode) {
  EXPECT_EXIT(
      {
        add_system_end(last_words);
        app_exit(3);
      },
      testing::ExitedWithCode(3), "chain ran");
}

}  // namespace
