// The pack tool on the real file system of the platform it was built for: Shift-JIS names
// reach the right files whether the disk holds them in UTF-8 (UTF-16 on Windows) or, on
// Linux, as their cp932 bytes; a tag file in a folder cp932 cannot hold is found and packed
// beside; the archive lands in the parent directory.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>
#include "gleaner.h"
#include "pak_format.h"
#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

// A path from Shift-JIS bytes: UTF-16 on Windows, the bytes as they are elsewhere.
fs::path sjis_path(const std::string& name) {
#ifdef _WIN32
  wchar_t wide[520];
  int n = MultiByteToWideChar(932, 0, name.c_str(), -1, wide, 520);
  return fs::path(n > 0 ? std::wstring(wide) : std::wstring());
#else
  return fs::path(name);
#endif
}

// Opens a file by its native path (wide on Windows) with a narrow mode such as "rb".
FILE* open_native(const fs::path& path, const char* mode) {
#ifdef _WIN32
  wchar_t wide_mode[4] = {wchar_t(mode[0]), wchar_t(mode[1]), 0, 0};
  return _wfopen(path.c_str(), wide_mode);
#else
  return fopen(path.c_str(), mode);
#endif
}

void write_file(const fs::path& path, const std::string& data) {
  FILE* f = open_native(path, "wb");
  ASSERT_NE(nullptr, f);
  fwrite(data.data(), 1, data.size(), f);
  fclose(f);
}

std::string read_file(const fs::path& path) {
  FILE* f = open_native(path, "rb");
  if (!f) return "<missing>";
  std::string data;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
  fclose(f);
  return data;
}

class GleanerFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("gleaner-files-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "work" / "sub");
    saved = fs::current_path();
    fs::current_path(root / "work");
    char text[8];  // forget what an earlier test's tag file path left kept
    pack_take_tag_argument(fs::path("x").c_str(), text, sizeof text);
  }
  void TearDown() override {
    fs::current_path(saved);
    fs::remove_all(root);
  }
  int run(const char* tag_name) {
    std::string program = "GLEANER", tag = tag_name;
    char* argv[] = {&program[0], &tag[0], nullptr};
    int rc = gleaner_run(2, argv, platform_pack_io());
    fflush(stdout);
    return rc;
  }
  // As the entry does: the tag file's path in the platform's form (UTF-8 or UTF-16).
  int run_native(const fs::path& tag) {
    char text[1024];
    pack_take_tag_argument(tag.c_str(), text, sizeof text);
    return run(text);
  }
  fs::path root, saved;
};

TEST_F(GleanerFiles, PacksShiftJisNamesFromASourceDirectory) {
  const std::string hyo = "\x95\x5C\x8E\xA6.txt";     // 表示.txt: 5C as a trail byte
  const std::string so = "\x83\x5C\x83\x74\x83\x67";  // ソフト
  write_file(sjis_path(hyo), "table");
  write_file(fs::path("sub") / sjis_path(so), "soft!");
  write_file("LIST.TAG", hyo + "\r\n<sub\r\n" + so + "\r\n");
  ASSERT_EQ(0, run("LIST.TAG"));

  std::string archive = read_file(root / "LIST.PAK");
  ASSERT_GE(archive.size(), 16u + 3 * 32);
  PakEntry dir[3];
  memcpy(dir, archive.data() + 16, sizeof dir);
  struct { const std::string& name; const char* data; } members[] = {{hyo, "table"}, {so, "soft!"}};
  for (const auto& m : members) {
    long hit = pak_find_entry(dir, 3, m.name.c_str());
    ASSERT_GE(hit, 0) << m.name;
    EXPECT_EQ(m.data, archive.substr(dir[hit].offset, dir[hit + 1].offset - dir[hit].offset));
  }
}

// The members of `archive` (cp932 names) and their data, "<missing>" for a member not found.
std::map<std::string, std::string> members_of(const std::string& archive) {
  std::map<std::string, std::string> found;
  if (archive.size() < 16) return found;
  uint32_t count;
  memcpy(&count, archive.data() + 12, 4);
  if (archive.size() < 16 + size_t(count) * 32) return found;
  std::vector<PakEntry> dir(count);
  memcpy(dir.data(), archive.data() + 16, count * sizeof(PakEntry));
  for (uint32_t i = 0; i + 1 < count; ++i)
    found[std::string(dir[i].name, strnlen(dir[i].name, sizeof dir[i].name))] =
        archive.substr(dir[i].offset, dir[i + 1].offset - dir[i].offset);
  return found;
}

typedef std::map<std::string, std::string> Members;

// A name in UTF-8 from the source (u8 literal); UTF-16 on Windows.
fs::path utf8_name(const char* name) { return fs::u8path(name); }

TEST_F(GleanerFiles, JapaneseNamesStoredInTheSystemsOwnForm) {
  fs::create_directories(utf8_name(u8"素材ソ"));
  fs::create_directories(utf8_name(u8"出力"));
  write_file(utf8_name(u8"表示.txt"), "table");
  write_file(utf8_name(u8"素材ソ/ソフト～"), "soft!");
  write_file(utf8_name(u8"更新.TAG"), ">出力\r\n表示.txt\r\n<素材ソ\r\nソフト～\r\n");
  ASSERT_EQ(0, run_native(utf8_name(u8"更新.TAG")));
  EXPECT_EQ((Members{{"表示.txt", "table"}, {"ソフト～", "soft!"}}),
            members_of(read_file(utf8_name(u8"出力/更新.PAK"))));
  // The archive got its name in the system's form, and only that one.
  std::vector<fs::path> written;
  for (const auto& entry : fs::directory_iterator(utf8_name(u8"出力"))) written.push_back(entry.path().filename());
  EXPECT_EQ(std::vector<fs::path>{utf8_name(u8"更新.PAK")}, written);
}

// A tag file whose folder cp932 cannot hold: opened there, the archive put beside it when
// the output directory is empty, and that folder shown with "?" in the tool's message.
TEST_F(GleanerFiles, TagFileInAFolderCp932CannotHold) {
  const fs::path folder = root / utf8_name(u8"Jürgen");
  fs::create_directories(folder);
  fs::create_directories("out");
  write_file("a.bin", "a");
  struct { const char* tag; fs::path archive; } cases[] = {
      {"a.bin\r\n", root / "LIST.PAK"},              // ".." from the current folder
      {">\r\na.bin\r\n", folder / "LIST.PAK"},     // beside the tag file
      {">out\r\na.bin\r\n", root / "work" / "out" / "LIST.PAK"},
  };
  for (const auto& c : cases) {
    write_file(folder / "LIST.TAG", c.tag);
    EXPECT_EQ(0, run_native(folder / "LIST.TAG")) << c.tag;
    EXPECT_EQ((Members{{"a.bin", "a"}}), members_of(read_file(c.archive))) << c.tag;
    fs::remove(c.archive);
  }
  fs::create_directories(folder / "LIST.PAK");  // an archive that cannot be created
  write_file(folder / "LIST.TAG", ">\r\na.bin\r\n");
  ::testing::internal::CaptureStdout();
  int rc = run_native(folder / "LIST.TAG");
  std::string said = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(1, rc);
  std::string separator(1, platform_pack_io()->separator);
  EXPECT_NE(std::string::npos, said.find("J?rgen" + separator + "LIST.PAK]\n")) << said;
  EXPECT_NE(std::string::npos, said.find("何だか開けませんでした[")) << said;
}

#ifndef _WIN32
// Names written by older tools: a part of a path that is not valid cp932, or whose UTF-8
// form does not exist while its bytes do, is taken as the bytes it is; the UTF-8 form wins
// when both exist.
TEST_F(GleanerFiles, LinuxTakesBytesAsTheyStandForOlderNames) {
  const std::string raw_hyo = "表示.txt", utf8_hyo = u8"表示.txt";  // cp932, UTF-8
  struct Case {
    const char* what;
    Members disk;      // file (native bytes) -> data
    std::string tag;   // the tag file's lines
    std::string data;  // what the member must hold; empty: it must not be found
  } cases[] = {
      {"UTF-8 form", {{utf8_hyo, "utf8"}}, raw_hyo, "utf8"},
      {"only the cp932 bytes", {{raw_hyo, "raw"}}, raw_hyo, "raw"},
      {"both: UTF-8 wins", {{utf8_hyo, "utf8"}, {raw_hyo, "raw"}}, raw_hyo, "utf8"},
      {"not valid cp932", {{u8"あ.bin", "a"}}, u8"あ.bin", "a"},  // 82 2E: no trail byte
      {"valid cp932 only as bytes", {{u8"ü.bin", "u"}}, u8"ü.bin", "u"},  // C3 BC: ﾃｼ
      {"cp932 folder, UTF-8 file", {{"素材/" + std::string(u8"表.txt"), "mixed"}}, "<素材\r\n表.txt", "mixed"},
      {"neither", {{u8"表示.TXT", "other"}}, raw_hyo, ""},
  };
  for (const Case& c : cases) {
    fs::current_path(root);
    fs::remove_all(root / "work");
    fs::create_directories(root / "work");
    fs::current_path(root / "work");
    for (const auto& file : c.disk) {
      fs::path path(file.first);
      if (path.has_parent_path()) fs::create_directories(path.parent_path());
      write_file(path, file.second);
    }
    write_file("LIST.TAG", c.tag + "\r\n");
    fs::remove(root / "LIST.PAK");
    int rc = run("LIST.TAG");
    if (c.data.empty()) {
      EXPECT_EQ(1, rc) << c.what;
      EXPECT_FALSE(fs::exists(root / "LIST.PAK")) << c.what;
      continue;
    }
    ASSERT_EQ(0, rc) << c.what;
    Members found = members_of(read_file(root / "LIST.PAK"));
    ASSERT_EQ(1u, found.size()) << c.what;
    EXPECT_EQ(c.data, found.begin()->second) << c.what;
  }
}

// Each run finds its own folders: a folder met in an earlier run under the same text, in
// another form there, does not stand for a later run's folder.
TEST_F(GleanerFiles, LinuxEachRunFindsItsOwnFolders) {
  fs::create_directories("first/素材");  // its cp932 bytes
  fs::create_directories(utf8_name(u8"second/素材/out"));
  write_file("first/素材/a.bin", "first");
  write_file("first/LIST.TAG", "<素材\r\na.bin\r\n");
  write_file(utf8_name(u8"second/素材/LIST.TAG"), ">素材\\out\r\nb.bin\r\n");
  write_file("second/b.bin", "second");
  fs::current_path("first");
  ASSERT_EQ(0, run("LIST.TAG"));
  fs::current_path("../second");
  ASSERT_EQ(0, run_native(utf8_name(u8"素材/LIST.TAG")));
  EXPECT_EQ((Members{{"a.bin", "first"}}), members_of(read_file(root / "work" / "LIST.PAK")));
  EXPECT_EQ((Members{{"b.bin", "second"}}),
            members_of(read_file(utf8_name(u8"素材/out/LIST.PAK"))));
}

// The archive's name follows the same rule: a folder that exists only as cp932 bytes is
// written into, and an archive of an older run under its cp932 bytes is replaced in place.
TEST_F(GleanerFiles, LinuxArchiveReplacesOneUnderItsCp932Bytes) {
  const std::string raw_out = "出力", raw_pak = "更新.PAK";  // cp932
  fs::create_directories(raw_out);
  write_file(fs::path(raw_out) / raw_pak, "old archive");
  write_file("a.bin", "a");
  write_file(utf8_name(u8"更新.TAG"), ">出力\r\na.bin\r\n");
  ASSERT_EQ(0, run_native(utf8_name(u8"更新.TAG")));
  EXPECT_EQ((Members{{"a.bin", "a"}}), members_of(read_file(fs::path(raw_out) / raw_pak)));
  EXPECT_FALSE(fs::exists(utf8_name(u8"出力")));
  std::vector<fs::path> written;
  for (const auto& entry : fs::directory_iterator(raw_out)) written.push_back(entry.path().filename());
  EXPECT_EQ(1u, written.size());
}

// A new archive is named in the form its tag file's name had on the command line.
TEST_F(GleanerFiles, LinuxNewArchiveTakesTheFormOfTheTagFilesName) {
  write_file("a.bin", "a");
  struct { const char* what; std::string tag, archive, not_archive; } cases[] = {
      {"UTF-8", u8"更新.TAG", u8"更新.PAK", "更新.PAK"},
      {"cp932 bytes", "更新.TAG", "更新.PAK", u8"更新.PAK"},
      {"beyond cp932, so as it stands", u8"ü.TAG", u8"ü.PAK", u8"ﾃｼ.PAK"},  // C3 BC
  };
  for (const auto& c : cases) {
    write_file(c.tag, ">\r\na.bin\r\n");
    EXPECT_EQ(0, run_native(c.tag)) << c.what;
    EXPECT_EQ((Members{{"a.bin", "a"}}), members_of(read_file(c.archive))) << c.what;
    EXPECT_FALSE(fs::exists(c.not_archive)) << c.what;
    fs::remove(c.archive);
  }
}
#endif

TEST_F(GleanerFiles, DirectoryOrMissingMemberLeavesNoArchive) {
  write_file("LIST.TAG", "sub\r\n");
  EXPECT_EQ(1, run("LIST.TAG"));
  EXPECT_FALSE(fs::exists(root / "LIST.PAK"));
  write_file("LIST.TAG", "missing.bin\r\n");
  EXPECT_EQ(1, run("LIST.TAG"));
  EXPECT_FALSE(fs::exists(root / "LIST.PAK"));
}

TEST_F(GleanerFiles, ArchiveInAMissingDirectoryIsRefused) {
  write_file("a.bin", "a");
  write_file("LIST.TAG", ">no-such-dir\r\na.bin\r\n");
  EXPECT_EQ(1, run("LIST.TAG"));
  EXPECT_FALSE(fs::exists(root / "work" / "no-such-dir"));
}

}  // namespace
