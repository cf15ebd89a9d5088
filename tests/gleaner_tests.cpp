// The pack tool against an in-memory file system: the archive bytes, the tag file syntax,
// the archive path, every failure and its console text, and failures injected into every
// file, memory and write operation.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "archive_path.h"
#include "fake_pack_io.h"
#include "pak_format.h"

namespace {

const char kArchive[] = "..\\LIST.PAK";

// The console text after the 22 lines of the usage text.
std::string after_usage(const std::string& console) {
  size_t pos = 0;
  for (int line = 0; line < 22; ++line) {
    pos = console.find('\n', pos);
    if (pos == std::string::npos) return "<usage text incomplete>";
    ++pos;
  }
  return console.substr(pos);
}

bool has_archive() { return fake_fs().files.count(kArchive) != 0; }

// Name fields of the archive's members, in directory order.
std::vector<std::string> archive_names(const std::string& archive) {
  std::vector<std::string> names;
  if (archive.size() < 16) return names;
  uint32_t count;
  memcpy(&count, archive.data() + 12, 4);
  for (uint32_t i = 0; i + 1 < count && 16 + (i + 1) * 32 <= archive.size(); ++i)
    names.push_back(std::string(archive.data() + 16 + i * 32));
  return names;
}

class Gleaner : public ::testing::Test {
 protected:
  void SetUp() override { fake_reset(); }
  void file(const std::string& path, const std::string& data) { fake_fs().files[path] = data; }
  int pack(const std::string& tag_text, const std::string& tag_path = "LIST.TAG") {
    file(tag_path, tag_text);
    return run_gleaner({tag_path});
  }
  std::string said() { return after_usage(fake_fs().console); }
};

// Three members whose archive was worked out by hand: "_" sorts before letters, letter case
// is folded, the empty member shares its offset with the next one.
std::string reference_archive() {
  std::string a("ADPACK32\x00\x00\x01\x00\x04\x00\x00\x00", 16);
  auto entry = [&](const std::string& name, const char crc_offset[6]) {
    a += name + std::string(26 - name.size(), '\0') + std::string(crc_offset, 6);
  };
  entry("_z", "\x3E\xE5\x90\x00\x00\x00");
  entry("A.TXT", "\x44\x31\x90\x00\x00\x00");
  entry("b.txt", "\x96\xDF\x93\x00\x00\x00");
  entry("", "\x00\x00\x95\x00\x00\x00");
  return a + "123xy";
}

void make_reference_inputs(FakeFs& fs) {
  fs.files["b.txt"] = "xy";
  fs.files["A.TXT"] = "123";
  fs.files["_z"] = "";
  fs.files["LIST.TAG"] = "b.txt\r\nA.TXT\r\n_z\r\n";
}

TEST_F(Gleaner, WritesTheArchiveWorkedOutByHand) {
  make_reference_inputs(fake_fs());
  EXPECT_EQ(0, run_gleaner({"LIST.TAG"}));
  EXPECT_EQ(reference_archive(), fake_fs().files[kArchive]);
  EXPECT_EQ("追加中[_z]\n追加中[A.TXT]\n追加中[b.txt]\n", said());
  EXPECT_EQ(0, fake_fs().open_files);
  // Each member is opened twice: once to measure it, once to copy it.
  EXPECT_EQ(2, fake_fs().opened["A.TXT"]);
}

TEST_F(Gleaner, UsageTextComesFirstInShiftJis) {
  EXPECT_EQ(1, run_gleaner({}));
  const std::string& c = fake_fs().console;
  EXPECT_EQ("", after_usage(c));  // nothing but the 22 lines
  std::string first_line =
      "\x8A\xF4\x82\xC2\x82\xA9\x82\xCC\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x88\xEA\x82\xC2"
      "\x82\xC9\x82\xDC\x82\xC6\x82\xDF\x82\xE9\x82\xBC\n";
  EXPECT_EQ(first_line, c.substr(0, first_line.size()));
  EXPECT_NE(std::string::npos, c.find("\nUsage : GLEANER <tagfile.tag>\n\nTAGFAILE"));
  EXPECT_NE(std::string::npos, c.find("\n..END\t<- ..END"));
  // The ideographic space (81 40) before the second "省略".
  EXPECT_NE(std::string::npos, c.find(">T:\\to\t\t// \x8F\x6F\x97\xCD\x90\xE6"));
  EXPECT_NE(std::string::npos, c.find("\x83\x8A\x81\x40\x8F\xC8\x97\xAA"));
}

TEST_F(Gleaner, EmptyListMakesTheSmallestArchive) {
  for (const char* tag : {"", "..END\r\nA.BMP\r\n"}) {
    fake_reset();
    EXPECT_EQ(0, pack(tag)) << tag;
    std::string expected("ADPACK32\x00\x00\x01\x00\x01\x00\x00\x00", 16);
    expected += std::string(28, '\0') + std::string("\x30\x00\x00\x00", 4);
    EXPECT_EQ(expected, fake_fs().files[kArchive]);
  }
}

struct SyntaxCase {
  const char* what;
  std::string tag;
  std::vector<std::string> files;    // present, each with one byte of data
  std::vector<std::string> members;  // name fields in directory order
  std::vector<std::string> opened;   // source paths that must have been read
  std::string archive;               // where the archive lands
  std::string console;               // part of what follows the usage text
};

TEST_F(Gleaner, TagFileSyntax) {
  std::string line300(300, 'L');
  const SyntaxCase cases[] = {
      {"tab starts a comment", "A.BMP\t// picture\r\n", {"A.BMP"}, {"A.BMP"}, {"A.BMP"}, kArchive, "追加中[A.BMP]\n"},
      {"..ENDX ends the list", "x\r\n..ENDX\r\ny\r\n", {"x"}, {"x"}, {}, kArchive, ""},
      {"..end is a member", "..end\r\n", {"..end"}, {"..end"}, {}, kArchive, ""},
      {"last line without line feed", "x\r\ny", {"x", "y"}, {"x", "y"}, {}, kArchive, ""},
      {"lone CR cuts the line", "x\ry\r\n", {"x"}, {"x"}, {}, kArchive, ""},
      {"Ctrl-Z ends the text", "x\r\n\x1Ay\r\n", {"x"}, {"x"}, {}, kArchive, ""},
      {"spaces and Shift-JIS stay", "a b\x83\x5C.txt\r\n", {"a b\x83\x5C.txt"}, {"a b\x83\x5C.txt"}, {}, kArchive, ""},
      {"source directory", "<D:\\src\r\na.bmp\r\n", {"D:\\src\\a.bmp"}, {"a.bmp"}, {"D:\\src\\a.bmp"}, kArchive,
       "ファイル所得元ディレクトリ[D:\\src]\n"},
      {"no doubled backslash", "<D:\\src\\\r\na.bmp\r\n", {"D:\\src\\a.bmp"}, {"a.bmp"}, {"D:\\src\\a.bmp"}, kArchive, ""},
      {"directory part dropped", "<D:\\src\r\nsub\\a.bmp\r\n", {"D:\\src\\a.bmp"}, {"sub\\a.bmp"}, {"D:\\src\\a.bmp"}, kArchive, ""},
      {"trail byte 5C is no separator", "<D:\\s\r\nx\\\x95\x5C.bmp\r\n", {"D:\\s\\\x95\x5C.bmp"}, {"x\\\x95\x5C.bmp"}, {}, kArchive, ""},
      {"directory ending in a 5C trail byte", "<D:\\\x83\x5C\r\na\r\n", {"D:\\\x83\x5C\\a"}, {"a"}, {"D:\\\x83\x5C\\a"}, kArchive, ""},
      {"source applies to later lines", "x\r\n<S\r\ny\r\n", {"x", "S\\y"}, {"x", "y"}, {"x", "S\\y"}, kArchive, ""},
      {"last output line counts", ">out\r\n>\r\nx\r\n", {"x"}, {"x"}, {}, "LIST.PAK",
       "ファイル出力先ディレクトリ[out]\nファイル出力先ディレクトリ[]\n追加中[x]\n"},
      {"output directory", ">T:\\to\r\nx\r\n", {"x"}, {"x"}, {}, "T:\\to\\LIST.PAK", ""},
      {"long line comes in pieces", line300 + "\r\n", {line300.substr(0, 259), line300.substr(259)},
       {line300.substr(0, 25), line300.substr(0, 25)}, {}, kArchive, ""},
  };
  for (const SyntaxCase& c : cases) {
    fake_reset();
    for (const std::string& f : c.files) file(f, "d");
    ASSERT_EQ(0, pack(c.tag)) << c.what << "\n" << said();
    ASSERT_TRUE(fake_fs().files.count(c.archive)) << c.what;
    EXPECT_EQ(c.members, archive_names(fake_fs().files[c.archive])) << c.what;
    for (const std::string& p : c.opened) EXPECT_EQ(2, fake_fs().opened[p]) << c.what << ": " << p;
    EXPECT_NE(std::string::npos, said().find(c.console)) << c.what << "\n" << said();
  }
}

TEST(ArchivePath, FromTheTagFilePathAndOutputDirectory) {
  struct Case { const char* tag; const char* out_dir; const char* expected; } cases[] = {
      {"LIST.TAG", "..", "..\\LIST.PAK"},
      {"@LIST.TAG", "..", "..\\@LIST.PAK"},
      {"C:\\work\\LIST.TAG", "..", "..\\LIST.PAK"},
      {"@C:\\work\\LIST.TAG", "..", "..\\LIST.PAK"},  // the "@" stands in the dropped directory
      {"C:\\work\\LIST.TAG", "", "C:\\work\\LIST.PAK"},
      {"@C:\\work\\LIST.TAG", "", "@C:\\work\\LIST.PAK"},
      {"\"LIST.TAG", "..", "..\\LIST.PAK"},
      {"LIST..TAG", "..", "..\\LIST.PAK"},
      {"LIST", "out\\", "out\\LIST.PAK"},
      {"d/LIST.TAG", "", "d/LIST.PAK"},
      {"\x95\x5C.TAG", "..", "..\\\x95\x5C.PAK"},
      {"C:\\work\\", "", "C:\\work\\"},  // no base name: the path itself
  };
  for (const Case& c : cases) {
    char name[260], path[260];
    ASSERT_EQ(0, make_archive_name(name, sizeof name, c.tag, '\\')) << c.tag;
    ASSERT_EQ(0, join_path(path, sizeof path, c.out_dir, name, '\\')) << c.tag;
    EXPECT_STREQ(c.expected, path) << c.tag;
  }
  char small[8];
  EXPECT_EQ(-1, join_path(small, sizeof small, "dir", "longname", '\\'));
  EXPECT_EQ(-1, make_archive_name(small, sizeof small, "longname.tag", '\\'));
}

TEST_F(Gleaner, RefusalsBeforeWriting) {
  struct Case {
    const char* what;
    std::string tag;
    std::vector<std::string> files;
    std::string message;
  } cases[] = {
      {"missing member", "x\r\nnope\r\n", {"x"}, "FILE [nope]がみつかりません\n"},
      {"empty line", "x\r\n\r\n", {"x"}, "FILE []がみつかりません\n"},
      {"a directory path that does not fit", std::string("<") + std::string(255, 'd') + "\r\nname.txt\r\n",
       {}, "FILE [name.txt]がみつかりません\n"},
      {"same name in another case", "readme.txt\r\nx\r\nREADME.TXT\r\n", {"readme.txt", "README.TXT", "x"},
       "ファイ名[readme.txt]と[README.TXT]で区別が付きません。ファイル名を変えてみてください。\n"},
  };
  for (const Case& c : cases) {
    fake_reset();
    for (const std::string& f : c.files) file(f, "d");
    EXPECT_EQ(1, pack(c.tag)) << c.what;
    EXPECT_NE(std::string::npos, said().find(c.message)) << c.what << "\n" << said();
    EXPECT_FALSE(has_archive()) << c.what;
    EXPECT_EQ(0, fake_fs().open_files) << c.what;
  }
}

TEST_F(Gleaner, LongNamesSharingTheirNameFieldAreToldApartByCrc) {
  std::string a = std::string(25, 'N') + "aaaaa", b = std::string(25, 'N') + "bbbbb";
  file(a, "1");
  file(b, "22");
  ASSERT_EQ(0, pack(a + "\r\n" + b + "\r\n"));
  const std::string& archive = fake_fs().files[kArchive];
  PakEntry dir[3];
  memcpy(dir, archive.data() + 16, sizeof dir);
  long ia = pak_find_entry(dir, 3, a.c_str()), ib = pak_find_entry(dir, 3, b.c_str());
  ASSERT_GE(ia, 0);
  ASSERT_GE(ib, 0);
  EXPECT_EQ(1u, dir[ia + 1].offset - dir[ia].offset);
  EXPECT_EQ(2u, dir[ib + 1].offset - dir[ib].offset);
}

TEST_F(Gleaner, ArchiveThatCannotBeCreated) {
  file("x", "d");
  fake_fs().fail_create = true;
  EXPECT_EQ(1, pack("x\r\n"));
  EXPECT_EQ("何だか開けませんでした[..\\LIST.PAK]\n", said());
  // An archive path longer than 259 bytes is refused, not cut.
  fake_reset();
  file("x", "d");
  EXPECT_EQ(1, pack(">" + std::string(255, 'o') + "\r\nx\r\n"));
  EXPECT_NE(std::string::npos, said().find("何だか開けませんでした["));
  EXPECT_EQ(2u, fake_fs().files.size());  // the tag file and x: nothing was written
}

// A tag file's folder that the platform keeps in its own form: the tag file is opened in
// it, an archive with an empty output directory is created and named in it, and any other
// archive path is the tool's own text. A skipped leading quote leaves that folder behind.
TEST_F(Gleaner, FolderKeptByThePlatformHoldsTheTagFileAndTheArchiveBesideIt) {
  const std::string tag_path = "C:\\J?rgen\\LIST.TAG";  // a stand-in of 10 bytes, then the name
  const std::string in_folder = std::string(kTagFolder) + "LIST.PAK";
  struct Case { const char* what; std::string argument; size_t stand_in; std::string tag, archive; } cases[] = {
      {"default output directory", tag_path, 10, "a\r\n", kArchive},
      {"empty output directory", tag_path, 10, ">\r\na\r\n", in_folder},
      {"with \"@\"", "@" + tag_path, 11, ">\r\na\r\n", in_folder},
      {"output directory", tag_path, 10, ">out\r\na\r\n", "out\\LIST.PAK"},
      {"quote skipped", "\"" + tag_path, 11, ">\r\na\r\n", "C:\\J?rgen\\LIST.PAK"},
  };
  for (const Case& c : cases) {
    fake_reset();
    fake_fs().tag_folder_bytes = c.stand_in;
    file(kTagFolder + std::string("LIST.TAG"), c.tag);
    file("a", "data");
    EXPECT_EQ(0, run_gleaner({c.argument})) << c.what;
    EXPECT_EQ(std::vector<std::string>{"a"}, archive_names(fake_fs().files[c.archive])) << c.what;
  }
  // Texts show the stand-in; a failure removes the archive from the kept folder.
  fake_reset();
  fake_fs().tag_folder_bytes = 10;
  file(kTagFolder + std::string("LIST.TAG"), ">\r\na\r\n");
  file("a", "data");
  fake_fs().fail_write = 3;
  EXPECT_EQ(1, run_gleaner({tag_path}));
  EXPECT_EQ("ファイル出力先ディレクトリ[]\n追加中[a]\nアーカイブに書き込めませんでした[C:\\J?rgen\\LIST.PAK]\n", said());
  EXPECT_EQ(0u, fake_fs().files.count(in_folder));
  // Without a kept folder the same path is the tool's own text (and names no file here).
  fake_reset();
  file(kTagFolder + std::string("LIST.TAG"), "a\r\n");
  EXPECT_EQ(1, run_gleaner({tag_path}));
}

TEST_F(Gleaner, MemberChangedWhilePackingFailsAndLeavesNoArchive) {
  for (const char* changed : {"longer!", "", "shrt"}) {
    fake_reset();
    file("a", "first");
    file("b", "second");
    fake_fs().after_measure["a"] = changed;  // measured as 5 bytes, then changes
    EXPECT_EQ(1, pack("a\r\nb\r\n")) << changed;
    EXPECT_EQ("追加中[a]\n警告！　ファイルが更新されました！　ばかー\n", said()) << changed;
    EXPECT_FALSE(has_archive());
    EXPECT_EQ(1, fake_fs().opened["b"]) << "the copying stops at the first difference";
  }
}

TEST_F(Gleaner, MemberThatCannotBeReadWhenCopiedLeavesNoArchive) {
  file("a", "1");
  file("b", "2");
  fake_fs().vanish_after_measure = "b";
  EXPECT_EQ(1, pack("a\r\nb\r\n"));
  EXPECT_EQ("追加中[a]\n追加中[b]\n[b]ファイルが読めないだ。", said());
  EXPECT_FALSE(has_archive());
}

TEST_F(Gleaner, LimitsOfTheReaderAreRefusedBeforeWriting) {
  // 2 GiB: one member of 2^31 - 80 bytes makes an archive of exactly 2^31 bytes.
  file("big", "d");
  fake_fs().size_override["big"] = (int64_t(1) << 31) - 80;
  EXPECT_EQ(1, pack("big\r\n"));
  EXPECT_EQ("アーカイブが2GB以上になってしまいます[big]\n", said());
  EXPECT_FALSE(has_archive());
  // One byte less is allowed (it then fails only because the fake file is smaller).
  fake_reset();
  file("big", "d");
  fake_fs().size_override["big"] = (int64_t(1) << 31) - 81;
  pack("big\r\n");
  EXPECT_EQ(std::string::npos, said().find("2GB"));

  // 65534 members are allowed, one more is refused.
  for (int members : {65534, 65535}) {
    fake_reset();
    std::string tag;
    for (int i = 0; i < members; ++i) {
      std::string name = "m" + std::to_string(i);
      fake_fs().files[name];
      tag += name + "\n";
    }
    int rc = pack(tag);
    if (members == 65534) {
      EXPECT_EQ(0, rc);
      EXPECT_EQ(16u + 65535u * 32u, fake_fs().files[kArchive].size());
    } else {
      EXPECT_EQ(1, rc);
      EXPECT_EQ("ファイルが多すぎます。一つのアーカイブには65534個までです[m65534]\n", said());
      EXPECT_FALSE(has_archive());
    }
  }
}

// Fails the Nth call of one operation, for every N a clean run makes: each run either ends
// with exactly the reference archive, or fails with a message, no archive and no open file.
TEST_F(Gleaner, EveryInjectedFailureIsReportedAndLeavesNoArchive) {
  make_reference_inputs(fake_fs());
  ASSERT_EQ(0, run_gleaner({"LIST.TAG"}));
  const FakeFs clean = fake_fs();
  struct Op { const char* name; int FakeFs::*fail; int calls; } ops[] = {
      {"read", &FakeFs::fail_read, clean.reads},
      {"write", &FakeFs::fail_write, clean.writes},
      {"grow", &FakeFs::fail_grow, clean.grows},
      {"close", &FakeFs::fail_close, clean.closes},
  };
  for (const Op& op : ops) {
    ASSERT_GT(op.calls, 0) << op.name;
    for (int n = 1; n <= op.calls; ++n) {
      fake_reset();
      make_reference_inputs(fake_fs());
      fake_fs().*(op.fail) = n;
      int rc = run_gleaner({"LIST.TAG"});
      std::string where = std::string(op.name) + " #" + std::to_string(n);
      EXPECT_EQ(0, fake_fs().open_files) << where;
      if (rc == 0) {
        EXPECT_EQ(reference_archive(), fake_fs().files[kArchive]) << where;
      } else {
        EXPECT_EQ(1, rc) << where;
        EXPECT_FALSE(has_archive()) << where;
        EXPECT_NE("", said()) << where;
      }
    }
  }
}

TEST_F(Gleaner, WriteFailureNamesTheArchive) {
  make_reference_inputs(fake_fs());
  fake_fs().fail_write = 3;  // header, directory, then the first member's data
  EXPECT_EQ(1, run_gleaner({"LIST.TAG"}));
  EXPECT_EQ("追加中[_z]\n追加中[A.TXT]\nアーカイブに書き込めませんでした[..\\LIST.PAK]\n", said());
  fake_reset();
  make_reference_inputs(fake_fs());
  fake_fs().fail_grow = 1;
  EXPECT_EQ(1, run_gleaner({"LIST.TAG"}));
  EXPECT_EQ("メモリが足りません\n", said());
}

TEST_F(Gleaner, ManyMembersAreAllFoundInAnyLetterCase) {
  std::string tag;
  std::vector<std::string> names;
  for (int i = 0; i < 3000; ++i) {
    std::string name = (i % 3 ? "File_" : "\x83\x5C\x82\x81") + std::to_string(i * 7919 % 10007) + ".Dat";
    names.push_back(name);
    file(name, std::string(size_t(i % 5), char('a' + i % 26)));
    tag += name + "\r\n";
  }
  ASSERT_EQ(0, pack(tag));
  const std::string& archive = fake_fs().files[kArchive];
  std::vector<PakEntry> dir(3001);
  memcpy(dir.data(), archive.data() + 16, dir.size() * sizeof(PakEntry));
  EXPECT_EQ(archive.size(), dir.back().offset);
  for (size_t i = 0; i < names.size(); ++i) {
    std::string upper = names[i], lower = names[i];
    for (char& ch : upper) if (ch >= 'a' && ch <= 'z') ch = char(ch - 32);
    for (char& ch : lower) if (ch >= 'A' && ch <= 'Z') ch = char(ch + 32);
    long hit = pak_find_entry(dir.data(), 3001, upper.c_str());
    ASSERT_GE(hit, 0) << names[i];
    EXPECT_EQ(hit, pak_find_entry(dir.data(), 3001, lower.c_str()));
    std::string data = archive.substr(dir[hit].offset, dir[hit + 1].offset - dir[hit].offset);
    EXPECT_EQ(fake_fs().files[names[i]], data) << names[i];
  }
  EXPECT_EQ(-1, pak_find_entry(dir.data(), 3001, "File_10008.Dat"));
  EXPECT_EQ(-1, pak_find_entry(dir.data(), 3001, "File_.Dat"));
}

}  // namespace
