// Shift-JIS name helpers, path splitting and the archive directory: check values, case
// tables, and a generated directory searched by every name in every letter case.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>
#include "pak_format.h"
#include "path_split.h"
#include "sjis.h"

namespace {

// Shift-JIS bytes written out, so the tests do not depend on how literals are converted.
const char kSmallA[] = "\x82\x81";    // full-width small a
const char kCapitalA[] = "\x82\x60";  // full-width capital A
const char kSo[] = "\x83\x5C";        // katakana so: second byte is a backslash
const char kHyo[] = "\x95\x5C";       // kanji "table": second byte is a backslash

TEST(NameCrc, CheckValuesAndCaseFolding) {
  EXPECT_EQ(0x31C3, pak_name_crc("123456789"));
  EXPECT_EQ(0x3994, pak_name_crc("ABC"));
  EXPECT_EQ(0x3994, pak_name_crc("abc"));
  EXPECT_EQ(0, pak_name_crc(""));
  EXPECT_EQ(0x212B, pak_name_crc("readme.txt"));
  // Double-byte letters are not folded by the CRC's upper-casing.
  EXPECT_NE(pak_name_crc(kSmallA), pak_name_crc(kCapitalA));
  // Only the first 63 bytes count.
  std::string long_a(63, 'x'), long_b(63, 'x');
  EXPECT_EQ(pak_name_crc((long_a + "A").c_str()), pak_name_crc((long_b + "B").c_str()));
  EXPECT_NE(pak_name_crc((long_a.substr(1) + "A").c_str()), pak_name_crc((long_b.substr(1) + "B").c_str()));
}

TEST(UpperSingleBytes, LeavesDoubleByteCharactersAlone) {
  struct Case { std::string in, out; } cases[] = {
      {"readme.txt", "README.TXT"},
      {std::string(kSo) + "a", std::string(kSo) + "A"},        // trail 0x5C is not touched
      {"\x82\x61z", "\x82\x61Z"},                              // 82 61 is one character
      {"\xB1z\xDF", "\xB1Z\xDF"},                              // half-width katakana stay
      {"ab\x82", "AB\x82"},                                    // lone lead byte at the end
      {std::string(kSmallA) + "b", std::string(kSmallA) + "B"},
  };
  for (const Case& c : cases) {
    std::string text = c.in;
    upper_single_bytes(&text[0]);
    EXPECT_EQ(c.out, text) << c.in;
  }
}

int sign(int v) { return (v > 0) - (v < 0); }

TEST(SjisCompare, OrderAndCaseFolding) {
  struct Case { std::string a, b; int expected; } cases[] = {
      {"readme.txt", "README.TXT", 0},
      {"A_B", "AAB", -1},                               // "_" sorts before letters
      {"a", "B", -1},
      {"Z", "a", 1},
      {"AB", "ABC", -1},
      {kSmallA, kCapitalA, 0},                          // full-width letters fold too
      {"\x82\x9A", "\x82\x79", 0},                      // full-width z and Z
      {"z", kCapitalA, -1},                             // double-byte after single-byte
      {"\xDF", "\x81\x40", -1},                         // even after half-width katakana
      {"AB\x82", "AB", 0},                              // lone lead byte = terminator
      {std::string(kSo) + "a", std::string(kSo) + "A", 0},
      {kSo, kHyo, -1},
      {"\x83\xBF", "\x83\x9F", 0},                      // Greek small alpha vs capital
      {"\x84\x70", "\x84\x40", 0},                      // Cyrillic small a vs capital
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, sign(sjis_icompare(c.a.c_str(), c.b.c_str()))) << c.a << " vs " << c.b;
    EXPECT_EQ(-c.expected, sign(sjis_icompare(c.b.c_str(), c.a.c_str()))) << c.b << " vs " << c.a;
  }
}

TEST(SjisLeadByte, Ranges) {
  int count = 0;
  for (int b = 0; b < 256; ++b) count += is_sjis_lead_byte(static_cast<unsigned char>(b));
  EXPECT_EQ(31 + 29, count);
  EXPECT_TRUE(is_sjis_lead_byte(0x81) && is_sjis_lead_byte(0x9F) && is_sjis_lead_byte(0xE0) &&
              is_sjis_lead_byte(0xFC));
  EXPECT_FALSE(is_sjis_lead_byte(0x80) || is_sjis_lead_byte(0xA0) || is_sjis_lead_byte(0xDF) ||
               is_sjis_lead_byte(0xFD) || is_sjis_lead_byte('\\'));
}

TEST(SplitPath, PartsStepOverDoubleByteCharacters) {
  struct Case { std::string path, drive, dir, base, ext; } cases[] = {
      {"C:\\work\\LIST.TAG", "C:", "\\work\\", "LIST", ".TAG"},
      {"LIST.TAG", "", "", "LIST", ".TAG"},
      {"..\\LIST.PAK", "", "..\\", "LIST", ".PAK"},
      {"a/b.c/d", "", "a/b.c/", "d", ""},
      {"mixed\\dir/x.y.z", "", "mixed\\dir/", "x.y", ".z"},
      {std::string(kSo) + ".txt", "", "", kSo, ".txt"},                     // 5C is no separator
      {std::string(kHyo) + "\\x", "", std::string(kHyo) + "\\", "x", ""},
      {"\x82\x2E" "a", "", "", "\x82\x2E" "a", ""},                          // 2E as a trail byte
      {"name.", "", "", "name", "."},
      {".hidden", "", "", "", ".hidden"},
      {"C:", "C:", "", "", ""},
      {"D:\\src\\", "D:", "\\src\\", "", ""},
  };
  for (const Case& c : cases) {
    PathParts parts;
    split_path(c.path.c_str(), &parts);
    EXPECT_EQ(c.drive, parts.drive) << c.path;
    EXPECT_EQ(c.dir, parts.dir) << c.path;
    EXPECT_EQ(c.base, parts.base) << c.path;
    EXPECT_EQ(c.ext, parts.ext) << c.path;
  }
  EXPECT_TRUE(ends_with_separator("D:\\src\\"));
  EXPECT_TRUE(ends_with_separator("src/"));
  EXPECT_FALSE(ends_with_separator((std::string("D:\\") + kSo).c_str()));
  EXPECT_FALSE(ends_with_separator(""));
}

// A directory built the way the pack tool builds it: sorted, end entry, offsets.
std::vector<PakEntry> build_directory(const std::vector<std::string>& names, uint32_t size_each) {
  std::vector<PakEntry> dir(names.size() + 1);
  for (size_t i = 0; i < names.size(); ++i) {
    pak_set_entry_name(&dir[i], names[i].c_str());
    dir[i].offset = size_each;
  }
  std::sort(dir.begin(), dir.end() - 1,
            [](const PakEntry& a, const PakEntry& b) { return pak_entry_compare(&a, &b) < 0; });
  pak_close_directory(dir.data(), static_cast<uint32_t>(names.size()));
  return dir;
}

std::string flip_case(std::string s) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (is_sjis_lead_byte(c)) { ++i; continue; }
    if (c >= 'a' && c <= 'z') s[i] = static_cast<char>(c - 32);
    else if (c >= 'A' && c <= 'Z') s[i] = static_cast<char>(c + 32);
  }
  return s;
}

TEST(PakDirectory, EmptyArchiveHasOnlyTheEndEntry) {
  PakEntry end;
  EXPECT_EQ(48u, pak_close_directory(&end, 0));
  EXPECT_EQ(48u, end.offset);
  EXPECT_EQ(0, end.crc);
  EXPECT_EQ(-1, pak_find_entry(&end, 1, ""));
  EXPECT_EQ(-1, pak_find_entry(&end, 0, "A"));
}

TEST(PakDirectory, OffsetsFollowSizesAndEmptyMembersShareTheirOffset) {
  PakEntry dir[4] = {};
  dir[0].offset = 5;
  dir[1].offset = 0;
  dir[2].offset = 7;
  EXPECT_EQ(16u + 4 * 32 + 12, pak_close_directory(dir, 3));
  EXPECT_EQ(144u, dir[0].offset);
  EXPECT_EQ(149u, dir[1].offset);
  EXPECT_EQ(149u, dir[2].offset);
  EXPECT_EQ(156u, dir[3].offset);
}

TEST(PakDirectory, NameFieldEdgeCases) {
  std::string name25(25, 'N'), lead_at_25 = std::string(24, 'L') + kSo + "X";
  std::string long1 = std::string(25, 'P') + "one.x", long2 = std::string(25, 'P') + "two.x";
  std::vector<std::string> names = {name25, lead_at_25, long1, long2, "A_B", "AAB"};
  std::vector<PakEntry> dir = build_directory(names, 1);

  PakEntry e;
  pak_set_entry_name(&e, name25.c_str());
  EXPECT_EQ(0, memcmp(e.name, name25.data(), 25));
  EXPECT_EQ(0, e.name[25]);
  pak_set_entry_name(&e, lead_at_25.c_str());
  EXPECT_EQ('\x83', e.name[24]);  // the field ends in a lone lead byte
  EXPECT_EQ(0, e.name[25]);

  for (const std::string& n : names) {
    long i = pak_find_entry(dir.data(), uint32_t(dir.size()), n.c_str());
    ASSERT_GE(i, 0) << n;
    EXPECT_EQ(pak_name_crc(n.c_str()), dir[size_t(i)].crc) << n;
  }
  // The two long names share their name field and differ only by CRC.
  long i1 = pak_find_entry(dir.data(), uint32_t(dir.size()), long1.c_str());
  long i2 = pak_find_entry(dir.data(), uint32_t(dir.size()), long2.c_str());
  EXPECT_NE(i1, i2);
  EXPECT_EQ(-1, pak_find_entry(dir.data(), uint32_t(dir.size()), (std::string(25, 'P') + "six.x").c_str()));
  // "A_B" sorts before "AAB".
  EXPECT_LT(pak_find_entry(dir.data(), uint32_t(dir.size()), "A_B"),
            pak_find_entry(dir.data(), uint32_t(dir.size()), "AAB"));
}

TEST(PakDirectory, EveryMemberOfALargeDirectoryIsFoundInAnyCase) {
  // Names mixing letters, digits, underscores, half-width and double-byte characters.
  const char* pieces[] = {"a", "B", "_", "z9", ".", "\xB1", kSmallA, kSo, "\x88\x9F", "Long_Name"};
  std::vector<std::string> names;
  for (int i = 0; names.size() < 4000; ++i) {
    std::string n;
    for (int k = i, digits = 0; digits < 4; k /= 10, ++digits) n += pieces[k % 10];
    n += "." + std::to_string(i % 7);
    names.push_back(n);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return sjis_icompare(a.c_str(), b.c_str()) < 0;
  });
  names.erase(std::unique(names.begin(), names.end(),
                          [](const std::string& a, const std::string& b) {
                            return sjis_icompare(a.c_str(), b.c_str()) == 0;
                          }),
              names.end());
  ASSERT_GT(names.size(), 3000u);
  std::vector<PakEntry> dir = build_directory(names, 3);
  uint32_t count = uint32_t(dir.size());
  for (size_t i = 0; i + 1 < dir.size() - 1; ++i)
    ASSERT_LT(pak_entry_compare(&dir[i], &dir[i + 1]), 0) << i;
  for (const std::string& n : names) {
    long hit = pak_find_entry(dir.data(), count, n.c_str());
    ASSERT_GE(hit, 0) << n;
    EXPECT_EQ(hit, pak_find_entry(dir.data(), count, flip_case(n).c_str())) << n;
    PakEntry key;
    pak_set_entry_name(&key, n.c_str());
    EXPECT_EQ(0, pak_entry_compare(&key, &dir[size_t(hit)]));
    EXPECT_EQ(-1, pak_find_entry(dir.data(), count, (n + "x").c_str())) << n;
  }
  EXPECT_EQ(-1, pak_find_entry(dir.data(), count, ""));
  EXPECT_EQ(-1, pak_find_entry(dir.data(), count, "\xFC\xFC"));
}

}  // namespace

// Cutting to fit never splits a double-byte character ("ソ" is 83 5C, "ア" is 83 41).
TEST(SjisCut, HeadAndTailKeepWholeCharacters) {
  struct Case { const char* text; size_t max; size_t head; size_t tail_start; };
  const Case cases[] = {
      {"abcdef", 4, 4, 2},
      {"abcdef", 10, 6, 0},
      {"ab\x83\x5C" "cd", 3, 2, 4},    // the head stops before ソ; the tail starts after it
      {"ab\x83\x5C" "cd", 4, 4, 2},    // ソ whole at either end
      {"\x83\x41\x83\x5C", 3, 2, 2},  // アソ: one character each way
      {"ab\x83", 3, 3, 0},              // a lone lead byte at the end counts as one
      {"", 5, 0, 0},
      {"abc", 0, 0, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.head, sjis_head_length(c.text, c.max)) << c.text << " " << c.max;
    EXPECT_EQ(c.tail_start, sjis_tail_start(c.text, c.max)) << c.text << " " << c.max;
  }
}
