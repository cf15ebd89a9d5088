// The pack tool on the real file system of the platform it was built for: Shift-JIS names
// reach the right files, and the archive lands in the parent directory.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
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
