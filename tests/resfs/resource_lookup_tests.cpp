// Resolving and opening resources: plain files first, then the sources in slot order, in
// each of the four directory formats; damaged directories; the retry question.
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "frame_double.h"
#include "named_file.h"
#include "resfs_files.h"
#include "resource_lookup.h"
#include "resource_sources.h"
#include "sjis.h"

namespace {

#ifdef _WIN32
const int kExitMinusOne = -1;
#else
const int kExitMinusOne = 255;
#endif

using ResourceLookup = ScratchTest;
using ResourceJapanese = ScratchTest;

// Opens `name` and returns what it reads up to `resource_length()` bytes, or "<length>" when
// the stream holds fewer.
std::string open_and_read(const char* name) {
  FILE* stream = open_resource(name, "rb");
  std::string rest = read_rest(stream);
  close_resource(stream);
  int32_t length = resource_length();
  if (length < 0 || size_t(length) > rest.size()) return "<length " + std::to_string(length) + ">";
  return rest.substr(0, size_t(length));
}

TEST_F(ResourceLookup, AtPrefixNamesTheTextAfterTheLastColon) {
  struct Case {
    const char* name;
    const char* stripped;
  } cases[] = {
      {"@UPDATE.PAK:README.TXT", "README.TXT"}, {"@X:Y:FILE.BMP", "FILE.BMP"},
      {"@README.TXT", "@README.TXT"},           {"README.TXT", "README.TXT"},
      {"A:README.TXT", "A:README.TXT"},         {"@X:", ""},
  };
  for (const Case& c : cases) EXPECT_STREQ(c.stripped, strip_at_prefix(c.name)) << c.name;

  put_file("UPDATE.PAK", pak_archive({{"README.TXT", "member"}}));
  put_file("@README.TXT", "plain");
  add_archive_source("UPDATE.PAK");
  EXPECT_EQ("member", open_and_read("@UPDATE.PAK:README.TXT"));
  EXPECT_EQ("plain", open_and_read("@README.TXT"));
  remove_file("@README.TXT");
  EXPECT_FALSE(resource_exists("@README.TXT"));  // the archive has no "@README.TXT"
}

// Keys worked out by hand from the key rule; together the extensions reach all 32 entries of
// the mixing table (the index each byte selects is in the comment), and the bases put space,
// letters, digits and double-byte bytes through the nibble swap.
const struct KnownKey {
  const char* text;
  uint32_t key;
} kKnownKeys[] = {
    {"UPDATE  BMP", 0x43491609u},  //  2 13 16
    {"UPDATE  ITW", 0x4345080Fu},  //  9 20 23
    {"UPDATE  ENV", 0x43570015u},  //  5 14 22
    {"README  TXT", 0x464F098Au},  // 20 24 20
    {"NOEXT      ", 0x5A474D0Bu},  //  0  0  0
    {"ソフト  DAT", 0x768D20A6u},  //  4  1 20
    {"SAVE[1] ^_@", 0x47835FE8u},  // 30 31  0
    {"Q9      JKL", 0x22382748u},  // 10 11 12
    {"FORMULAECGH", 0x19419C1Au},  //  3  7  8
    {"ZOO     YUR", 0x22594F5Eu},  // 25 21 18
    {"X       OSF", 0x2229325Bu},  // 15 19  6
    {"MAP     Z[]", 0x225A5D5Cu},  // 26 27 29
    {"Q       Q\\ ", 0x22223446u}, // 17 28  0
};

TEST_F(ResourceLookup, ShortNameKeyOfTheKnownName) {
  EXPECT_EQ(0x43491609u, short_name_key("UPDATE  BMP"));
  EXPECT_EQ(short_key_text("update.bmp"), "UPDATE  BMP");
  EXPECT_NE(short_name_key("UPDATE  BMP"), short_name_key("UPDATE  BMQ"));
  for (const KnownKey& k : kKnownKeys) {
    ASSERT_EQ(11u, strlen(k.text));
    EXPECT_EQ(k.key, short_name_key(k.text)) << k.text;
  }
}

// A keyed directory written with hand-computed keys (not with the code's key function) is read
// by name. The key text is upper-cased byte by byte: the trail bytes of フ (83 74) and ト
// (83 67) are taken for "t" and "g", so ソフト.DAT has the key of "ソサエ  DAT".
TEST_F(ResourceLookup, KeyedDirectoryOfHandWrittenKeys) {
  const struct {
    uint32_t key;  // ascending, as the format stores them
    const char* name;
  } entries[] = {{0x19419C1Au, "formulae.cgh"}, {0x225A5D5Cu, "MAP.Z[]"}, {0x43570015u, "update.env"},
                 {0x464F098Au, "ReadMe.txt"},   {0x568D22A6u, "ソフト.DAT"}};
  const int count = int(sizeof entries / sizeof entries[0]);
  std::string image(4 + 8 * count, 0);
  put_u16(image, 0, 0x4000);
  put_u16(image, 2, uint16_t(count));
  for (int i = 0; i < count; ++i) {
    put_u32(image, 4 + 8 * i, entries[i].key);
    put_u32(image, 8 + 8 * i, uint32_t(image.size() + 2 * i));
  }
  for (int i = 0; i < count; ++i) image += std::string(2, char('a' + i));
  put_file("K.ARC", image);
  add_archive_source("K.ARC");
  for (int i = 0; i < count; ++i) {
    ASSERT_TRUE(resource_exists(entries[i].name)) << entries[i].name;
    EXPECT_EQ(std::string(2, char('a' + i)), open_and_read(entries[i].name)) << entries[i].name;
  }
  EXPECT_FALSE(resource_exists("UPDATE.BMP"));
}

TEST_F(ResourceLookup, PlainFileWinsOverEverySource) {
  put_file("UPDATE.PAK", pak_archive({{"update.bmp", "from archive"}}));
  put_file("update.bmp", "plain file");
  add_archive_source("UPDATE.PAK");
  EXPECT_STREQ("update.bmp", resolve_resource("update.bmp"));
  EXPECT_EQ(-1, resource_length());
  EXPECT_EQ("plain file", open_and_read("update.bmp"));
  EXPECT_EQ(10, resource_length());
}

TEST_F(ResourceLookup, DirectorySourceTakesTheWholeNameArchiveOnlyTheLastPart) {
  make_dir("UPDATE\\DATA");
  put_file("UPDATE\\DATA\\update.bmp", "in directory");
  put_file("UPDATE\\PK.BAT", "");
  put_file("SECOND.PAK", pak_archive({{"update.bmp", "in archive"}, {"PK.BAT", "member"}}));
  add_directory_source("UPDATE");
  add_archive_source("SECOND.PAK");

  EXPECT_STREQ("UPDATE\\DATA\\update.bmp", resolve_resource("DATA\\update.bmp"));
  EXPECT_EQ("in directory", open_and_read("DATA\\update.bmp"));
  EXPECT_EQ(12, resource_length());
  EXPECT_STREQ("SECOND.PAK", resolve_resource("update.bmp"));  // not UPDATE\update.bmp
  EXPECT_STREQ("SECOND.PAK", resolve_resource("OTHER\\update.bmp"));
  EXPECT_EQ("in archive", open_and_read("OTHER\\update.bmp"));
  EXPECT_STREQ("UPDATE\\PK.BAT", resolve_resource("PK.BAT"));  // slot order: the directory first
  EXPECT_STREQ("NONE.TXT", resolve_resource("NONE.TXT"));
  EXPECT_EQ(-1, resource_length());
  EXPECT_FALSE(resource_exists("NONE.TXT"));
  EXPECT_EQ(0, frame_double()->box_count);
}

// Every format finds its members by name without regard to letter case, opens them at their
// first byte and knows their length (the last short-name or keyed entry runs to the end).
class EveryFormat : public ScratchTest, public ::testing::WithParamInterface<ArchiveFormat> {};

TEST_P(EveryFormat, FindsMembersAndOpensThemAtTheirData) {
  std::vector<Member> members = {
      {"UPDATE.ENV", "TITLE=update\r\n"}, {"update.bmp", "BM picture"}, {"README.TXT", "read me"},
      {"EMPTY.DAT", ""},                  {"NOEXT", "no extension"},  {"Z.BIN", "the last one"}};
  put_file("UPDATE.PAK", write_archive(GetParam(), members));
  add_archive_source("UPDATE.PAK");
  for (const Member& m : members) {
    SCOPED_TRACE(m.name);
    EXPECT_STREQ("UPDATE.PAK", resolve_resource(m.name.c_str()));
    EXPECT_EQ(int32_t(m.data.size()), resource_length());
    EXPECT_TRUE(resource_exists(m.name.c_str()));
    EXPECT_EQ(m.data, open_and_read(m.name.c_str()));
  }
  EXPECT_EQ("read me", open_and_read("readme.txt"));
  EXPECT_EQ("BM picture", open_and_read("Update.Bmp"));
  FILE* text = open_resource("UPDATE.ENV", "rt");
  char line[64];
  ASSERT_NE(nullptr, fgets(line, sizeof line, text));
  EXPECT_STREQ("TITLE=update\r\n", line);  // streams are binary: the line reader folds CR LF
  close_resource(text);

  for (const char* absent : {"MISSING.TXT", "UPDATE.EN", "README.TXU", "README", ""}) {
    EXPECT_STREQ(absent, resolve_resource(absent)) << absent;
    EXPECT_EQ(-1, resource_length());
  }
  EXPECT_EQ(0, frame_double()->box_count);
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat,
                         ::testing::Values(FORMAT_SHORT_NAME, FORMAT_KEYED, FORMAT_AC, FORMAT_PAK));

TEST_F(ResourceLookup, ShortNamesUseTheEightThreeKeyText) {
  for (ArchiveFormat format : {FORMAT_SHORT_NAME, FORMAT_KEYED}) {
    SCOPED_TRACE(format);
    reset_resource_sources();
    put_file("S.ARC", write_archive(format, {{"PICTURE.JPE", "jpeg"}, {"PICTURES.JPG", "eight"}}));
    add_archive_source("S.ARC");
    EXPECT_EQ("jpeg", open_and_read("PICTURE.JPEG"));  // key text "PICTURE JPE"
    EXPECT_EQ("jpeg", open_and_read("picture.jpeg"));
    EXPECT_EQ("eight", open_and_read("PICTURES.JPG"));
    EXPECT_FALSE(resource_exists("PICTURES1.JPG"));  // 9-byte base names are never there
    EXPECT_FALSE(resource_exists("PICTURESQUE.JPG"));
  }
}

// A keyed table of 300 members: each is reached through the coarse index, wherever it lies.
TEST_F(ResourceLookup, KeyedDirectoryFindsEveryMemberOfALargeTable) {
  std::vector<Member> members;
  for (int i = 0; i < 300; ++i) {
    char name[16];
    snprintf(name, sizeof name, "F%03d.DAT", i);
    members.push_back({name, std::string(1 + i % 3, char('a' + i % 26))});
  }
  put_file("K.ARC", keyed_archive(members));
  add_archive_source("K.ARC");
  ASSERT_EQ(300, resource_slot(0)->count);
  for (const Member& m : members) EXPECT_EQ(m.data, open_and_read(m.name.c_str())) << m.name;
  EXPECT_FALSE(resource_exists("F300.DAT"));
}

// Entries 5 to 100 share one key; the coarse index decides which of them is taken. With 101
// entries it takes no step (entry 5), with 102 entries it steps to entry 100.
TEST_F(ResourceLookup, KeyedCoarseStepStartsAt102Entries) {
  const uint32_t key = short_name_key("UPDATE  BMP");
  for (int count : {101, 102}) {
    SCOPED_TRACE(count);
    std::string image(4 + 8 * count, 0);
    put_u16(image, 0, 0x4000);
    put_u16(image, 2, uint16_t(count));
    for (int i = 0; i < count; ++i) {
      uint32_t entry_key = i < 5 ? uint32_t(i) : i <= 100 ? key : key + uint32_t(i);
      put_u32(image, 4 + 8 * i, entry_key);
      put_u32(image, 8 + 8 * i, uint32_t(image.size()) + uint32_t(i));  // one data byte each
    }
    for (int i = 0; i < count; ++i) image += char(i);
    reset_resource_sources();
    put_file("K.ARC", image);
    add_archive_source("K.ARC");
    EXPECT_EQ(std::string(1, char(count == 101 ? 5 : 100)), open_and_read("UPDATE.BMP"));
  }
}

TEST_F(ResourceLookup, AcDirectoryBinarySearch) {
  std::vector<Member> members;
  for (int i = 0; i < 40; ++i) members.push_back({"N" + std::to_string(i * 7) + ".AC", std::to_string(i)});
  members.push_back({"A_LONG_NAME_OF_THIRTY_BYTES.TXT", "long"});  // stored cut to 27 bytes
  members.push_back({"\x82\x60\x82\x61.TXT", "fullwidth"});          // ＡＢ.TXT
  std::string image = ac_archive(members);
  memcpy(&image[16 + 32 * members.size()], "ZZZ", 3);  // name the end entry: still no member
  put_file("A.ARC", image);
  add_archive_source("A.ARC");
  for (const Member& m : members) EXPECT_EQ(m.data, open_and_read(m.name.c_str())) << m.name;
  EXPECT_EQ("long", open_and_read("a_long_name_of_thirty_bytes.txt"));
  EXPECT_EQ("long", open_and_read("A_LONG_NAME_OF_THIRTY_BYTES.BIN"));  // same first 27 bytes
  EXPECT_EQ("fullwidth", open_and_read("\x82\x81\x82\x82.txt"));  // ａｂ.txt folds to ＡＢ.TXT
  EXPECT_FALSE(resource_exists("ZZZ"));
  EXPECT_FALSE(resource_exists("N1.AC"));
}

TEST_F(ResourceLookup, ArchivesWithoutMembersFindNothing) {
  std::string pak = pak_archive({});
  ASSERT_EQ(48u, pak.size());
  std::string ac = ac_archive({});
  memcpy(&ac[16], "README.TXT", 10);  // even a named end entry is no member
  memcpy(&pak[16], "README.TXT", 10);
  for (const std::string& image : {pak, ac}) {
    reset_resource_sources();
    put_file("E.ARC", image);
    add_archive_source("E.ARC");
    EXPECT_EQ(1, resource_slot(0)->count);
    EXPECT_FALSE(resource_exists("README.TXT"));
  }
}

TEST_F(ResourceLookup, PakFindsTheMemberWhateverTheCase) {
  put_file("UPDATE.PAK", pak_archive({{"README.TXT", "upper"}, {"update.itw", "lower"}}));
  add_archive_source("UPDATE.PAK");
  EXPECT_EQ("upper", open_and_read("readme.txt"));
  EXPECT_EQ("lower", open_and_read("UPDATE.ITW"));
}

// Short-name and keyed directories require no order of the data: a member ends where the
// nearest member after it starts, or at the end of the file. The empty member lies last, at the
// very end of the file.
TEST_F(ResourceLookup, UnorderedShortNameAndKeyedArchivesFindEveryMember) {
  const std::vector<Member> members = {
      {"A.DAT", "aa"}, {"B.DAT", "bbb"}, {"UPDATE.ENV", "APPTITLE t\n"}, {"D.DAT", "ddddd"}, {"E.DAT", ""}};
  const std::vector<std::vector<std::string>> orders = {
      {"UPDATE.ENV", "A.DAT", "D.DAT", "B.DAT", "E.DAT"},   // each next entry a later, not the nearest
      {"D.DAT", "UPDATE.ENV", "B.DAT", "A.DAT", "E.DAT"}};  // each next entry an earlier one
  for (ArchiveFormat format : {FORMAT_SHORT_NAME, FORMAT_KEYED}) {
    for (const std::vector<std::string>& order : orders) {
      SCOPED_TRACE(std::to_string(format) + " " + order[0]);
      reset_resource_sources();
      put_file("UPDATE.PAK", format == FORMAT_KEYED ? keyed_archive(members, order)
                                                    : short_name_archive(members, order));
      add_archive_source("UPDATE.PAK");
      for (const Member& m : members) {
        ASSERT_TRUE(resource_exists(m.name.c_str())) << m.name;
        EXPECT_EQ(m.data, open_and_read(m.name.c_str())) << m.name;
        EXPECT_EQ(int32_t(m.data.size()), resource_length()) << m.name;
      }
    }
  }
}

// A damaged directory never hands out an offset outside its archive or a negative length.
TEST_F(ResourceLookup, DamagedEntriesAreNoHits) {
  // Short-name (no order): A points past the end and bounds nothing; B starts 3 bytes before
  // the end and runs to it; C starts one byte before B and ends where B starts.
  std::string image = short_name_archive({{"A.DAT", "aa"}, {"B.DAT", "bbb"}, {"C.DAT", "cccc"}});
  const uint32_t size = uint32_t(image.size());
  put_u32(image, 2 + 12, size + 1);
  put_u32(image, 2 + 16 + 12, size - 3);
  put_u32(image, 2 + 32 + 12, size - 4);
  put_file("S.ARC", image);
  add_archive_source("S.ARC");
  EXPECT_FALSE(resource_exists("A.DAT"));
  EXPECT_EQ("ccc", open_and_read("B.DAT"));
  EXPECT_EQ("c", open_and_read("C.DAT"));

  // Keyed: the same rules in table (key) order: the first entry points past the end, the
  // second starts one byte before the end, the last one byte before the second.
  std::vector<Member> keyed = {{"A.DAT", "aa"}, {"B.DAT", "bbb"}, {"C.DAT", "cccc"}};
  image = keyed_archive(keyed);
  put_u32(image, 4 + 4, uint32_t(image.size()) + 100);
  put_u32(image, 4 + 8 + 4, uint32_t(image.size()) - 1);
  put_u32(image, 4 + 16 + 4, uint32_t(image.size()) - 2);
  reset_resource_sources();
  put_file("K.ARC", image);
  add_archive_source("K.ARC");
  int found = 0;
  for (const Member& m : keyed) {
    if (!resource_exists(m.name.c_str())) continue;
    ++found;
    EXPECT_EQ(1, resource_length()) << m.name;
  }
  EXPECT_EQ(2, found);

  // PAK: B's offset lies past the end, so A's data would run past it and B's too.
  image = pak_archive({{"A.DAT", "aa"}, {"B.DAT", "bbb"}, {"C.DAT", "cccc"}});
  put_u32(image, 16 + 32 + 28, 0xFFFFFF00u);
  reset_resource_sources();
  put_file("P.ARC", image);
  add_archive_source("P.ARC");
  EXPECT_FALSE(resource_exists("A.DAT"));
  EXPECT_FALSE(resource_exists("B.DAT"));
  EXPECT_EQ("cccc", open_and_read("C.DAT"));

  // PAK: C's offset below B's gives B a negative size; C itself still ends at the end entry.
  image = pak_archive({{"A.DAT", "aa"}, {"B.DAT", "bbb"}, {"C.DAT", "cccc"}});
  put_u32(image, 16 + 64 + 28, get_u32(image, 16 + 28));
  reset_resource_sources();
  put_file("P.ARC", image);
  add_archive_source("P.ARC");
  EXPECT_EQ("aa", open_and_read("A.DAT"));
  EXPECT_FALSE(resource_exists("B.DAT"));
  EXPECT_EQ("aabbbcccc", open_and_read("C.DAT"));
}

TEST_F(ResourceLookup, TruncatedArchiveKeepsWhatIsWhole) {
  for (ArchiveFormat format : {FORMAT_SHORT_NAME, FORMAT_KEYED, FORMAT_AC, FORMAT_PAK}) {
    SCOPED_TRACE(format);
    std::vector<Member> members = {{"A.DAT", "aa"}, {"B.DAT", "bbb"}, {"C.DAT", "cccc"}};
    std::string image = write_archive(format, members);
    reset_resource_sources();
    const size_t cut = image.size() - 5;  // the last data and one byte before it are gone
    put_file("T.ARC", image.substr(0, cut));
    add_archive_source("T.ARC");
    // In the sorted formats only the member whose data is still whole is found: the next one
    // runs past the end entry's end, the last starts past it. The short-name and keyed formats
    // give no end: a member that starts inside the file (or at its end) is found with the
    // bytes it still has.
    const bool unordered = format == FORMAT_SHORT_NAME || format == FORMAT_KEYED;
    int found = 0;
    for (const Member& m : members) {
      size_t at = image.find(m.data);
      bool whole = at + m.data.size() <= cut;
      bool kept = whole || (unordered && at <= cut);
      EXPECT_EQ(kept, resource_exists(m.name.c_str())) << m.name;
      if (kept) {
        EXPECT_EQ(m.data.substr(0, cut - at), open_and_read(m.name.c_str())) << m.name;
      }
      found += kept;
    }
    EXPECT_EQ(unordered ? 2 : 1, found);

    // Cut inside the directory: its first entry's data lies beyond the end.
    reset_resource_sources();
    put_file("T.ARC", image.substr(0, format == FORMAT_KEYED ? 4 + 8 : format == FORMAT_SHORT_NAME ? 2 + 16 : 48));
    add_archive_source("T.ARC");
    EXPECT_EQ(1, resource_slot(0)->count);
    for (const Member& m : members) EXPECT_FALSE(resource_exists(m.name.c_str())) << m.name;
  }
}

// The opener behind the lookup in the retry tests: the missing file appears (written by the
// "user") once `appear_after` questions have been asked.
struct Appearing {
  std::string path, data;
  int appear_after;
} g_appearing;

FILE* appearing_opener(const char* path, const char* mode) {
  if (frame_double()->questions >= g_appearing.appear_after && !g_appearing.path.empty()) {
    put_file(g_appearing.path, g_appearing.data);
    g_appearing.path.clear();
  }
  return open_named_file(path, mode);
}

TEST_F(ResourceLookup, RetryOpensTheFileThatAppeared) {
  g_appearing = {"NEW.TXT", "arrived", 2};
  set_resource_opener(appearing_opener);
  frame_double_answer(1);
  frame_double_answer(1);
  EXPECT_EQ("arrived", open_and_read("@DISK:NEW.TXT"));
  EXPECT_EQ(7, resource_length());
  ASSERT_EQ(2, frame_double()->box_count);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(BOX_CONFIRM, frame_double()->boxes[i].kind);
    EXPECT_STREQ("ファイル[NEW.TXT]が開けません\nリトライしますか？", frame_double()->boxes[i].text);
  }
}

// The archive that holds the member is gone when it is opened: the question names the
// archive, and the retry opens it at the member found before.
TEST_F(ResourceLookup, RetryReopensTheArchiveAtTheMember) {
  std::string image = pak_archive({{"A.TXT", "first"}, {"README.TXT", "read me"}});
  put_file("UPDATE.PAK", image);
  add_archive_source("UPDATE.PAK");
  remove_file("UPDATE.PAK");
  g_appearing = {"UPDATE.PAK", image, 1};
  set_resource_opener(appearing_opener);
  frame_double_answer(1);
  EXPECT_EQ("read me", open_and_read("README.TXT"));
  ASSERT_EQ(1, frame_double()->box_count);
  EXPECT_STREQ("ファイル[UPDATE.PAK]が開けません\nリトライしますか？", frame_double()->boxes[0].text);
}

FILE* present_after_first_question(const char* path, const char* mode) {
  return frame_double()->questions >= 1 ? open_named_file("present.txt", mode) : open_named_file(path, mode);
}

// A path too long for the 128-byte question keeps its end behind "...", cut between
// characters; the question never outgrows its buffer.
TEST_F(ResourceLookup, RetryQuestionShortensLongPaths) {
  const std::string head = "ファイル[", tail = "]が開けません\nリトライしますか？";
  const size_t room = 127 - head.size() - tail.size();
  ASSERT_EQ(86u, room);
  put_file("present.txt", "x");
  set_resource_opener(present_after_first_question);
  std::string japanese;
  for (int i = 0; i < 8; ++i) japanese += "ソフト表示能力十";  // trail bytes 0x5C among them
  for (std::string path : {std::string(86, 'a'), std::string(87, 'a'), japanese, "a" + japanese,
                           "ab\\" + japanese + "x", japanese.substr(0, 84) + "xyz"}) {
    SCOPED_TRACE(path.size());
    frame_double_reset();
    frame_double_answer(1);
    close_resource(open_resource(path.c_str(), "rb"));
    ASSERT_EQ(1, frame_double()->box_count);
    std::string question = frame_double()->boxes[0].text;
    ASSERT_LE(question.size(), 127u);
    ASSERT_EQ(head, question.substr(0, head.size()));
    ASSERT_EQ(tail, question.substr(question.size() - tail.size()));
    std::string shown = question.substr(head.size(), question.size() - head.size() - tail.size());
    if (path.size() <= room) {
      EXPECT_EQ(path, shown);
      continue;
    }
    ASSERT_EQ("...", shown.substr(0, 3));
    std::string kept = shown.substr(3);
    EXPECT_GE(kept.size(), room - 4);  // as much as fits, less one byte at most
    size_t cut = path.size() - kept.size();
    EXPECT_EQ(path.substr(cut), kept);
    size_t boundary = 0;  // the cut lies between two characters
    while (boundary < cut) boundary += is_sjis_lead_byte(uint8_t(path[boundary])) ? 2 : 1;
    EXPECT_EQ(cut, boundary);
  }
}

void end_chain_with_3(void) { std::_Exit(3); }

// No scratch directory: the death test's child would leave it behind where it starts over.
TEST(ResourceRetryDeathTest, CancelEndsAtOnceWithMinusOne) {
  EXPECT_EXIT(
      {
        reset_resource_sources();
        frame_double_reset();
        add_system_end(end_chain_with_3);  // would change the exit code if the chain ran
        frame_double_answer(1);            // OK once, then Cancel
        open_resource("NO SUCH RESOURCE.TXT", "rb");
      },
      ::testing::ExitedWithCode(kExitMinusOne), "");
}

// Shift-JIS names, trail bytes 0x5C included, reach the right file whatever the system's
// code page (these also run under code page 1252).
TEST_F(ResourceJapanese, OpensFilesDirectoriesAndMembersWithJapaneseNames) {
  put_file("ソフト表.TXT", "plain");
  make_dir("データソ\\能力");
  put_file("データソ\\能力\\十ソ.TXT", "in directory");
  put_file("更新.PAK", pak_archive({{"ソース表.TXT", "pak member"}, {"A.TXT", "a"}}));
  put_file("更新ソ.ARC", keyed_archive({{"ソ表.TXT", "keyed member"}, {"A.TXT", "a"}}));
  ASSERT_EQ(0, add_directory_source("データソ\\"));
  ASSERT_EQ(0, add_archive_source("更新.PAK"));
  ASSERT_EQ(0, add_archive_source("更新ソ.ARC"));

  EXPECT_EQ("plain", open_and_read("ソフト表.TXT"));
  EXPECT_STREQ("データソ\\能力\\十ソ.TXT", resolve_resource("能力\\十ソ.TXT"));
  EXPECT_EQ("in directory", open_and_read("能力\\十ソ.TXT"));
  EXPECT_EQ("pak member", open_and_read("ソース表.TXT"));
  EXPECT_EQ("pak member", open_and_read("フォルダソ\\ソース表.TXT"));
  EXPECT_EQ("keyed member", open_and_read("ソ表.TXT"));
  EXPECT_EQ("keyed member", open_and_read("@更新ソ.ARC:ソ表.TXT"));
  EXPECT_FALSE(resource_exists("ソース表.TXTX"));
  EXPECT_EQ(0, frame_double()->box_count);
}

}  // namespace
