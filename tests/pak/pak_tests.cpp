// `pak` as the preparer runs it: list, find, extract and test on archives of all four
// directory formats, a table of damaged archives each named by its fault, the extraction's
// refusal to leave its folder, Japanese names and the exit codes.
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif
#include "pak_runner.h"
#include "resfs_files.h"
#include "resource_lookup.h"

namespace {

const char* format_label(ArchiveFormat format) {
  switch (format) {
    case FORMAT_PAK: return "ADPACK32";
    case FORMAT_AC: return "AC";
    case FORMAT_KEYED: return "keyed";
    case FORMAT_SHORT_NAME: return "short-name";
  }
  return "?";
}

const std::vector<Member> SAMPLE = {
    {"README.TXT", "read me\r\n"},
    {"UPDATE.ENV", "COPY1_F\r\nDATA\\MAP01.DAT\r\n"},
    {"EMPTY.DAT", ""},
    {"MAP01.DAT", std::string(300, 'm')}};

std::string key_name(const std::string& name) {
  char text[16];
  snprintf(text, sizeof text, "KEY-%08X", short_name_key(short_key_text(name).c_str()));
  return text;
}

class PakFormats : public ScratchTest, public ::testing::WithParamInterface<ArchiveFormat> {};

TEST_P(PakFormats, ListNamesTheFormatAndEveryMember) {
  put_file("A.PAK", write_archive(GetParam(), SAMPLE));
  PakRun run = run_pak({"list", "A.PAK"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find(std::string(": ") + format_label(GetParam()) + ", 4 members"), std::string::npos)
      << run.out;
  for (const Member& m : SAMPLE) {
    std::string shown = GetParam() == FORMAT_KEYED ? key_name(m.name).substr(4) : m.name;
    std::string size = std::to_string(m.data.size());
    bool row = false;  // the member's row shows its size
    for (size_t at = run.out.find(shown); at != std::string::npos; at = run.out.find(shown, at + 1)) {
      size_t start = run.out.rfind('\n', at) + 1;
      row = row || run.out.substr(start, at - start).find(" " + size + " ") != std::string::npos;
    }
    EXPECT_TRUE(row) << shown << " with " << size << " bytes in\n" << run.out;
  }
  PakRun json = run_pak({"list", "A.PAK", "--json"});
  ASSERT_EQ(json.exit_code, 0) << json.err;
  EXPECT_NE(json.out.find(std::string("\"format\": \"") + format_label(GetParam()) + "\""), std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"size\": 300}"), std::string::npos) << json.out;
  if (GetParam() != FORMAT_KEYED) {
    EXPECT_NE(json.out.find("\"name\": \"MAP01.DAT\""), std::string::npos);
  }
}

TEST_P(PakFormats, FindFollowsTheUpdatersRules) {
  put_file("A.PAK", write_archive(GetParam(), SAMPLE));
  // Case folding, the "@" prefix and a folder part that archives ignore.
  for (const char* request : {"readme.txt", "@UPDATE.PAK:README.TXT", "docs\\ReadMe.Txt"}) {
    PakRun run = run_pak({"find", "A.PAK", request});
    EXPECT_EQ(run.exit_code, 0) << request << "\n" << run.out << run.err;
    EXPECT_NE(run.out.find(", 9 bytes"), std::string::npos) << run.out;
  }
  PakRun empty = run_pak({"find", "A.PAK", "EMPTY.DAT"});
  EXPECT_EQ(empty.exit_code, 0);
  EXPECT_NE(empty.out.find(", 0 bytes"), std::string::npos) << empty.out;
  PakRun missing = run_pak({"find", "A.PAK", "MISSING.TXT"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.out.find("not found"), std::string::npos) << missing.out;
}

TEST_P(PakFormats, ExtractWritesEveryMemberAndTestFindsItSound) {
  put_file("A.PAK", write_archive(GetParam(), SAMPLE));
  PakRun run = run_pak({"extract", "A.PAK", "out"});
  ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
  for (const Member& m : SAMPLE) {
    std::string data;
    std::string name = GetParam() == FORMAT_KEYED ? key_name(m.name) : m.name;
    ASSERT_TRUE(read_native_file("out/" + name, &data)) << name << "\n" << run.out;
    EXPECT_EQ(data, m.data) << name;
  }
  PakRun test = run_pak({"test", "A.PAK"});
  EXPECT_EQ(test.exit_code, 0) << test.out;
  EXPECT_NE(test.out.find("sound"), std::string::npos) << test.out;
}

TEST_P(PakFormats, ExtractByNameWritesWhatTheUpdaterOpens) {
  put_file("A.PAK", write_archive(GetParam(), SAMPLE));
  PakRun run = run_pak({"extract", "A.PAK", "out", "update.env", "NONE.TXT"});
  EXPECT_EQ(run.exit_code, 1) << "one name is not there\n" << run.out;
  std::string data;
  // A keyed archive stores no names: the member goes under the name it was asked for.
  std::string name = GetParam() == FORMAT_KEYED ? "update.env" : "UPDATE.ENV";
  ASSERT_TRUE(read_native_file("out/" + name, &data)) << run.out;
  EXPECT_EQ(data, SAMPLE[1].data);
  EXPECT_FALSE(read_native_file("out/README.TXT"));
  EXPECT_NE(run.out.find("not found  NONE.TXT"), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(AllFormats, PakFormats,
                         ::testing::Values(FORMAT_PAK, FORMAT_AC, FORMAT_KEYED, FORMAT_SHORT_NAME),
                         [](const ::testing::TestParamInfo<ArchiveFormat>& param) {
                           std::string label = format_label(param.param);
                           return label == "short-name" ? std::string("ShortName") : label;
                         });

// --- pak test on damaged archives ---------------------------------------------------------

const std::vector<Member> ABC = {{"A.TXT", "aaa"}, {"B.TXT", "bbbb"}, {"C.TXT", "cc"}};

// Entry positions in the images the fixtures write.
size_t pak_entry(size_t i) { return 16 + 32 * i; }
size_t keyed_entry(size_t i) { return 4 + 8 * i; }
size_t short_entry(size_t i) { return 2 + 16 * i; }

struct Damage {
  const char* label;
  ArchiveFormat format;
  std::vector<Member> members;
  std::function<void(std::string&)> damage;  // null: the archive as written
  const char* fault;                          // null: sound
};

void nothing(std::string&) {}

const Damage DAMAGES[] = {
    {"sound ADPACK32 with two long names told apart by their CRCs", FORMAT_PAK,
     {{std::string(25, 'L') + "ONE.TXT", "1"}, {std::string(25, 'L') + "TWO.TXT", "2"}}, nothing, nullptr},
    {"magic", FORMAT_PAK, ABC, [](std::string& a) { a[7] = '1'; }, "magic"},
    {"version bytes", FORMAT_PAK, ABC, [](std::string& a) { a[10] = 2; }, "fixed-bytes"},
    {"name field padding", FORMAT_PAK, ABC, [](std::string& a) { a[pak_entry(0) + 20] = 'X'; }, "fixed-bytes"},
    {"no entries", FORMAT_PAK, ABC, [](std::string& a) { put_u32(a, 12, 0); }, "count"},
    {"count past the file", FORMAT_PAK, ABC, [](std::string& a) { put_u32(a, 12, 900); }, "count"},
    {"count over 16 bits", FORMAT_PAK, ABC, [](std::string& a) { put_u32(a, 12, 0x10004); }, "count"},
    {"file ends in the header", FORMAT_PAK, ABC, [](std::string& a) { a.resize(10); }, "count"},
    {"names out of order", FORMAT_PAK, ABC,
     [](std::string& a) {
       std::string first = a.substr(pak_entry(0), 28);
       a.replace(pak_entry(0), 28, a.substr(pak_entry(1), 28));
       a.replace(pak_entry(1), 28, first);
     }, "order"},
    {"wrong CRC", FORMAT_PAK, ABC, [](std::string& a) { a[pak_entry(1) + 26] ^= 1; }, "crc"},
    {"offset lower than the one before", FORMAT_PAK, ABC,
     [](std::string& a) { put_u32(a, pak_entry(2) + 28, get_u32(a, pak_entry(1) + 28) - 1); }, "offset-order"},
    {"offset past the end", FORMAT_PAK, ABC,
     [](std::string& a) { put_u32(a, pak_entry(2) + 28, uint32_t(a.size() + 10)); }, "offset-range"},
    {"gap after the directory", FORMAT_PAK, ABC,
     [](std::string& a) {
       a.insert(pak_entry(4), 1, 'x');
       for (size_t i = 0; i < 4; ++i) put_u32(a, pak_entry(i) + 28, get_u32(a, pak_entry(i) + 28) + 1);
     }, "first-offset"},
    {"end entry short of the file", FORMAT_PAK, ABC, [](std::string& a) { a += "x"; }, "end-entry"},
    {"end entry with a name", FORMAT_PAK, ABC, [](std::string& a) { a[pak_entry(3)] = 'Z'; }, "end-entry"},
    {"two names the updater cannot tell apart", FORMAT_PAK, {{"readme.txt", "1"}, {"README.TXT", "2"}},
     nothing, "same-name"},
    {"member under a folder name", FORMAT_PAK, {{"files\\UPDATE.ENV", "x"}}, nothing, "folder-name"},
    {"member without a name", FORMAT_PAK, {{"", "x"}, {"A.TXT", "a"}}, nothing, "empty-name"},
    {"AC names out of order", FORMAT_AC, ABC,
     [](std::string& a) { a[pak_entry(0)] = 'B'; a[pak_entry(1)] = 'A'; }, "order"},
    {"AC end entry short of the file", FORMAT_AC, ABC, [](std::string& a) { a += "x"; }, "end-entry"},
    {"AC name field not terminated", FORMAT_AC, ABC, [](std::string& a) { a[pak_entry(0) + 27] = 'X'; }, "fixed-bytes"},
    {"AC folder name", FORMAT_AC, {{"DATA\\A.TXT", "a"}}, nothing, "folder-name"},
    {"keyed keys out of order", FORMAT_KEYED, ABC,
     [](std::string& a) {
       std::string first = a.substr(keyed_entry(0), 4);
       a.replace(keyed_entry(0), 4, a.substr(keyed_entry(1), 4));
       a.replace(keyed_entry(1), 4, first);
     }, "order"},
    {"keyed key twice", FORMAT_KEYED, ABC,
     [](std::string& a) { put_u32(a, keyed_entry(1), get_u32(a, keyed_entry(0))); }, "same-name"},
    {"keyed offset past the end", FORMAT_KEYED, ABC,
     [](std::string& a) { put_u32(a, keyed_entry(0) + 4, uint32_t(a.size() + 1)); }, "offset-range"},
    {"keyed count past the file", FORMAT_KEYED, ABC, [](std::string& a) { put_u16(a, 2, 40); }, "count"},
    {"short-name twice", FORMAT_SHORT_NAME, {{"A.TXT", "1"}, {"A.TXT", "2"}}, nothing, "same-name"},
    {"short-name in lower case", FORMAT_SHORT_NAME, ABC, [](std::string& a) { a[short_entry(0)] = 'a'; },
     "unreachable"},
    {"short-name byte 11", FORMAT_SHORT_NAME, ABC, [](std::string& a) { a[short_entry(0) + 11] = 'X'; },
     "fixed-bytes"},
    {"short-name offset in the directory", FORMAT_SHORT_NAME, ABC,
     [](std::string& a) { put_u32(a, short_entry(1) + 12, 1); }, "offset-range"},
};

class PakTest : public ScratchTest {};

TEST_F(PakTest, EachDamageIsNamed) {
  for (const Damage& d : DAMAGES) {
    SCOPED_TRACE(d.label);
    std::string image = write_archive(d.format, d.members);
    d.damage(image);
    put_file("D.PAK", image);
    PakRun run = run_pak({"test", "D.PAK"});
    if (!d.fault) {
      EXPECT_EQ(run.exit_code, 0) << run.out;
      EXPECT_NE(run.out.find(": sound"), std::string::npos) << run.out;
      continue;
    }
    EXPECT_EQ(run.exit_code, 1) << run.out;
    // Each finding is a line that begins with its fault name.
    std::string line_start = std::string(d.fault) + " ";
    bool named = run.out.compare(0, line_start.size(), line_start) == 0 ||
                 run.out.find("\n" + line_start) != std::string::npos;
    EXPECT_TRUE(named) << "expected " << d.fault << " in\n" << run.out;
    EXPECT_NE(run.out.find(" fault"), std::string::npos) << run.out;
  }
}

TEST_F(PakTest, AnArchiveThatCannotBeReadIsAUsageError) {
  put_file("ONE.PAK", "A");
  for (const char* archive : {"ONE.PAK", "NONE.PAK"}) {
    for (const char* command : {"test", "list"}) {
      PakRun run = run_pak({command, archive});
      EXPECT_EQ(run.exit_code, 2) << command << " " << archive;
      EXPECT_NE(run.err.find(archive), std::string::npos) << run.err;
    }
  }
}

TEST_F(PakTest, UsageAndHelp) {
  PakRun help = run_pak({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("Exit codes: 0"), std::string::npos) << help.out;
  EXPECT_EQ(run_pak({}).exit_code, 2);
  EXPECT_EQ(run_pak({"list"}).exit_code, 2);
  EXPECT_EQ(run_pak({"pack", "A.PAK"}).exit_code, 2);
  EXPECT_EQ(run_pak({"find", "A.PAK"}).exit_code, 2);
  EXPECT_EQ(run_pak({"list", "A.PAK", "--xml"}).exit_code, 2);
}

// --- extraction stays in its folder --------------------------------------------------------

TEST_F(PakTest, ExtractFlattensOrRefusesNamesThatLeaveTheFolder) {
  struct Case {
    const char* member;
    const char* written;  // null: refused
  };
  const Case cases[] = {
      {"..\\..\\EVIL1.TXT", "EVIL1.TXT"}, {"../EVIL2.TXT", "EVIL2.TXT"}, {"C:EVIL3.TXT", "EVIL3.TXT"},
      {"C:\\WINDOWS\\EVIL4.TXT", "EVIL4.TXT"}, {"/tmp/EVIL5.TXT", "EVIL5.TXT"},
      {"sub\\EVIL1.TXT", nullptr},  // flattened onto a name already written
      {"..", nullptr}, {"DIR\\..", nullptr}, {"A?B.TXT", nullptr}, {"CON.TXT", nullptr},
      {"TRAIL.", nullptr}, {"TAB\tNAME", nullptr}};
  std::vector<Member> members;
  for (const Case& c : cases) members.push_back({c.member, std::string("data of ") + c.member});
  put_file("EVIL.PAK", pak_archive(members));
  make_dir("top");
  make_dir("top\\out");
  PakRun run = run_pak({"extract", "EVIL.PAK", "top/out"});
  EXPECT_EQ(run.exit_code, 1) << run.out;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.member);
    if (c.written) {
      std::string data;
      ASSERT_TRUE(read_native_file(std::string("top/out/") + c.written, &data)) << run.out;
      EXPECT_EQ(data.substr(0, 8), "data of ");
    }
  }
  std::string evil1;
  ASSERT_TRUE(read_native_file("top/out/EVIL1.TXT", &evil1));
  EXPECT_EQ(evil1, "data of ..\\..\\EVIL1.TXT") << "the second member must not overwrite the first";
  for (const char* outside : {"top/EVIL1.TXT", "EVIL1.TXT", "top/EVIL2.TXT", "top/out/sub/EVIL1.TXT"})
    EXPECT_FALSE(read_native_file(outside)) << outside;
  EXPECT_NE(run.out.find("flattened  ..\\..\\EVIL1.TXT -> EVIL1.TXT (folder part dropped)"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("flattened  C:EVIL3.TXT -> EVIL3.TXT (drive dropped)"), std::string::npos);
  EXPECT_NE(run.out.find("refused    CON.TXT: a device name"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("refused    sub\\EVIL1.TXT: another member"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("refused    TAB\\x09NAME: a character Windows does not allow"), std::string::npos)
      << "control bytes are shown escaped\n" << run.out;
  EXPECT_NE(run.out.find("5 written, 7 refused"), std::string::npos) << run.out;
}

TEST_F(PakTest, ExtractDoesNotFollowALinkOutOfTheFolder) {
  put_file("A.PAK", pak_archive({{"LINK.TXT", "new"}}));
  make_dir("out");
  put_file("TARGET.TXT", "old");
#ifdef _WIN32
  if (!CreateSymbolicLinkW(L"out\\LINK.TXT", L"..\\TARGET.TXT", 0))
    GTEST_SKIP() << "this system makes no symbolic links here";
  DWORD link = GetFileAttributesW(L"out\\LINK.TXT");
  if (link == INVALID_FILE_ATTRIBUTES || !(link & FILE_ATTRIBUTE_REPARSE_POINT))
    GTEST_SKIP() << "this system does not show the link as one (Wine)";
#else
  ASSERT_EQ(symlink("../TARGET.TXT", "out/LINK.TXT"), 0);
#endif
  PakRun run = run_pak({"extract", "A.PAK", "out"});
  EXPECT_EQ(run.exit_code, 1) << run.out;
  std::string target;
  ASSERT_TRUE(read_native_file("TARGET.TXT", &target));
  EXPECT_EQ(target, "old");
}

// --- Japanese names ------------------------------------------------------------------------

class PakJapanese : public ScratchTest, public ::testing::WithParamInterface<ArchiveFormat> {};

// 表 and ソ end in the byte 0x5C, which is a backslash when taken alone.
const char JAPANESE_SJIS[] = "表ソ十.TXT";
const std::string JAPANESE_UTF8 = u8"表ソ十.TXT";

TEST_P(PakJapanese, ListFindAndExtractShowAndWriteTheNameInUnicode) {
  put_file("J.PAK", write_archive(GetParam(), {{JAPANESE_SJIS, "kanji"}, {"B.TXT", "b"}}));
  PakRun list = run_pak({"list", "J.PAK"});
  ASSERT_EQ(list.exit_code, 0);
  EXPECT_NE(list.out.find(JAPANESE_UTF8), std::string::npos) << list.out;
  PakRun json = run_pak({"list", "J.PAK", "--json"});
  EXPECT_NE(json.out.find("\"name\": \"" + JAPANESE_UTF8 + "\""), std::string::npos) << json.out;
  PakRun find = run_pak({"find", "J.PAK", JAPANESE_UTF8});
  EXPECT_EQ(find.exit_code, 0) << find.out << find.err;
  EXPECT_NE(find.out.find(", 5 bytes"), std::string::npos) << find.out;
  PakRun extract = run_pak({"extract", "J.PAK", u8"出力"});
  EXPECT_EQ(extract.exit_code, 0) << extract.out << extract.err;
  std::string data;
  ASSERT_TRUE(read_native_file(u8"出力/" + JAPANESE_UTF8, &data)) << extract.out;
  EXPECT_EQ(data, "kanji");
  EXPECT_EQ(run_pak({"test", "J.PAK"}).exit_code, 0);
}

TEST_P(PakJapanese, AnArchiveInAJapaneseFolderIsShownByItsName) {
  put_file("J.PAK", write_archive(GetParam(), {{"B.TXT", "b"}}));
  std::filesystem::create_directory(native_utf8(u8"日本"));
  std::filesystem::rename("J.PAK", native_utf8(u8"日本/J.PAK"));
  PakRun list = run_pak({"list", u8"日本/J.PAK"});
  EXPECT_EQ(list.exit_code, 0) << list.err;
  EXPECT_EQ(list.out.find(u8"日本/J.PAK: "), 0u) << list.out;
  PakRun missing = run_pak({"test", u8"日本/NONE.PAK"});
  EXPECT_EQ(missing.exit_code, 2);
  EXPECT_NE(missing.err.find(u8"日本/NONE.PAK cannot be opened"), std::string::npos) << missing.err;
}

INSTANTIATE_TEST_SUITE_P(NamedFormats, PakJapanese, ::testing::Values(FORMAT_PAK, FORMAT_AC),
                         [](const ::testing::TestParamInfo<ArchiveFormat>& param) {
                           return std::string(format_label(param.param));
                         });

}  // namespace
