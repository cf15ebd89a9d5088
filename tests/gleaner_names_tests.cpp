// How the pack tool takes names that are not its own cp932: the cp932 <-> UTF-8 crossing of
// the Linux build, and the tag file's path from the command line on both platforms.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "pack_io.h"
#ifndef _WIN32
#include "utf8_text.h"
#endif

namespace {

#ifndef _WIN32
// Narrow literals are cp932 (the build's execution character set); u8 literals are UTF-8:
// each case spells one text both ways, so the compiler's tables are the reference.
TEST(Utf8Text, ConvertsBothWaysAndRefusesWhatWouldNotComeBack) {
  struct Case { const char* cp932; const char* utf8; } both[] = {
      {"LIST.TAG", u8"LIST.TAG"},
      {"表示ソ十能.txt", u8"表示ソ十能.txt"},  // trail bytes 0x5C
      {"ｶﾅ－～∥￠￢―", u8"ｶﾅ－～∥￠￢―"},     // half-width kana and the symbols with two Unicode forms
      {"①Ⅰ㈱髙", u8"①Ⅰ㈱髙"},
      {"", u8""},
  };
  for (const Case& c : both) {
    char out[64];
    EXPECT_EQ(int(strlen(c.utf8)), cp932_to_utf8(c.cp932, out, sizeof out)) << c.utf8;
    EXPECT_STREQ(c.utf8, out);
    EXPECT_EQ(int(strlen(c.cp932)), utf8_to_cp932(c.utf8, out, sizeof out)) << c.utf8;
    EXPECT_STREQ(c.cp932, out);
  }
  // Not cp932: 0x80, 0xA0, 0xFD, a lead byte before a byte that cannot follow it, a lone
  // lead byte at the end.
  for (const char* bad : {"a\x80", "\xA0", "\xFD", "\x81\x20", "x\x81"}) {
    char out[16] = "unchanged";
    EXPECT_EQ(-1, cp932_to_utf8(bad, out, sizeof out)) << bad;
    EXPECT_STREQ("", out);
  }
  // No cp932 form, or one that reads back as another character ("〜" becomes "～"), or not
  // UTF-8 at all.
  for (const char* bad : {u8"jürgen", u8"〜", u8"−", u8"‖", u8"¢", u8"—", "\x95\x5C", "\xE8\xA1"}) {
    char out[16] = "unchanged";
    EXPECT_EQ(-1, utf8_to_cp932(bad, out, sizeof out)) << bad;
    EXPECT_STREQ("", out);
  }
  char small[4];
  EXPECT_EQ(-1, cp932_to_utf8("表示", small, sizeof small));  // 6 bytes of UTF-8
  EXPECT_EQ(3, cp932_to_utf8("表", small, sizeof small));
  EXPECT_EQ(-1, utf8_to_cp932(u8"表示", small, sizeof small));
}

TEST(Utf8Text, ShownFormMarksWhatCp932CannotHold) {
  struct Case { const char* utf8; const char* shown; } cases[] = {
      {u8"/home/jürgen/", "/home/j?rgen/"},
      {u8"/w/〜表/", "/w/?表/"},
      {"a\xFF" "b\xE8\xA1", "a?b??"},  // stray bytes, a character cut short
      {u8"😀ソ", "?ソ"},
  };
  for (const Case& c : cases) {
    char out[32];
    EXPECT_EQ(int(strlen(c.shown)), utf8_to_cp932_shown(c.utf8, out, sizeof out)) << c.utf8;
    EXPECT_STREQ(c.shown, out);
    EXPECT_LE(strlen(out), strlen(c.utf8));
  }
  char small[4];
  EXPECT_EQ(-1, utf8_to_cp932_shown(u8"abcd", small, sizeof small));
  for (const char* good : {"", u8"jürgen/表😀"}) EXPECT_EQ(1, is_utf8(good)) << good;
  for (const char* bad : {"\x8D\xEC", "a\xE8\xA1", "\xC0\xAF", "\x80"}) EXPECT_EQ(0, is_utf8(bad)) << bad;
}
#endif

// The tag file's path as the entry hands it to the tool, and the stand-in's length.
struct ArgumentCase {
  const char* what;
  std::basic_string<PackArgChar> argument;
  std::string text;       // the tool's text of the path
  size_t folder_bytes;    // the stand-in's length; 0 when nothing is kept
};

TEST(TagArgument, FolderBeyondCp932IsKeptAndShownWithAStandIn) {
#ifdef _WIN32
  const ArgumentCase cases[] = {
      {"plain", L"LIST.TAG", "LIST.TAG", 0},
      {"Japanese", L"C:\\作業\\更新.TAG", "C:\\作業\\更新.TAG", 0},
      {"folder beyond cp932", L"C:\\Users\\J\u00fcrgen\\更新.TAG", "C:\\Users\\J?rgen\\更新.TAG", 16},
      {"either separator", L"C:/J\u00fcrgen/a/LIST.TAG", "C:/J?rgen/a/LIST.TAG", 12},
      {"file name beyond cp932", L"C:\\J\u00fcrgen.TAG", "", 0},
  };
#else
  const ArgumentCase cases[] = {
      {"plain", "LIST.TAG", "LIST.TAG", 0},
      {"Japanese", u8"/home/作業/更新.TAG", "/home/作業/更新.TAG", 0},
      {"folder beyond cp932", u8"/home/jürgen/更新.TAG", "/home/j?rgen/更新.TAG", 13},
      {"folder that would not come back", u8"w/〜/LIST.TAG", "w/?/LIST.TAG", 4},
      {"cp932 bytes in the folder: as they stand", "\x8D\xEC/LIST.TAG", "\x8D\xEC/LIST.TAG", 0},
      {"file name beyond cp932: bytes as they stand", u8"/home/jürgen/ü.TAG", u8"/home/jürgen/ü.TAG", 0},
      {"raw cp932 bytes stand", "\x8D\x58\x90\x56.TAG", "\x8D\x58\x90\x56.TAG", 0},
  };
#endif
  for (const ArgumentCase& c : cases) {
    char out[128];
    memset(out, 'x', sizeof out);
    pack_take_tag_argument(c.argument.c_str(), out, sizeof out);
    EXPECT_EQ(c.text, std::string(out)) << c.what;
    EXPECT_EQ(c.folder_bytes, platform_pack_io()->tag_folder_bytes()) << c.what;
  }
  // A later call replaces what an earlier one kept.
  char out[128];
#ifdef _WIN32
  pack_take_tag_argument(L"LIST.TAG", out, sizeof out);
#else
  pack_take_tag_argument("LIST.TAG", out, sizeof out);
#endif
  EXPECT_EQ(0u, platform_pack_io()->tag_folder_bytes());
}

}  // namespace
