// Loading "UPDATE.ENV" through the resource lookup: the missing file ends the program with
// exit code 1 after an error box; a plain file and a member of "UPDATE.PAK" are read, the
// member's stream running on into the data that follows it in the archive.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <string>
#include "env_table.h"
#include "frame_double.h"
#include "pak_format.h"
#include "resource_sources.h"
#ifdef _WIN32
#include <direct.h>
#define make_dir(path) _mkdir(path)
#define change_dir(path) _chdir(path)
#define remove_dir(path) _rmdir(path)
#else
#include <sys/stat.h>
#include <unistd.h>
#define make_dir(path) mkdir(path, 0755)
#define change_dir(path) chdir(path)
#define remove_dir(path) rmdir(path)
#endif

namespace {

// Matches a death test's standard error that contains `text`.
class HasText : public testing::MatcherInterface<const std::string&> {
 public:
  explicit HasText(const std::string& text) : text_(text) {}
  bool MatchAndExplain(const std::string& output, testing::MatchResultListener*) const override {
    return output.find(text_) != std::string::npos;
  }
  void DescribeTo(std::ostream* os) const override { *os << "contains \"" << text_ << "\""; }

 private:
  std::string text_;
};

void write_file(const char* path, const std::string& bytes) {
  FILE* out = fopen(path, "wb");
  ASSERT_NE(nullptr, out) << path;
  fwrite(bytes.data(), 1, bytes.size(), out);
  fclose(out);
}

// Each test works in a scratch directory of its own below the test's working directory.
class LoadEnv : public testing::Test {
 protected:
  void SetUp() override {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string("scratch_") + info->name();
    make_dir(dir_.c_str());
    frame_double_reset();
    env_reset();
    reset_resource_sources();
  }
  void TearDown() override {
    reset_resource_sources();
    remove_dir(dir_.c_str());
  }
  // Enters the scratch directory for `body`, emptying it of `files` afterwards.
  template <typename Body>
  void inside(std::initializer_list<const char*> files, Body body) {
    ASSERT_EQ(0, change_dir(dir_.c_str()));
    body();
    for (const char* f : files) remove(f);
    ASSERT_EQ(0, change_dir(".."));
  }
  std::string dir_;
};

TEST_F(LoadEnv, MissingFileEndsWithExitCode1) {
  EXPECT_EXIT(
      {
        change_dir(dir_.c_str());
        frame_double()->print_exit = true;
        load_env();
      },
      testing::ExitedWithCode(1),
      testing::MakeMatcher(new HasText("error box: 環境設定ファイル[UPDATE.ENV]が見つかりません！\n"
                                       "app_exit(1)")));
}

TEST_F(LoadEnv, ReadsThePlainFile) {
  inside({"UPDATE.ENV"}, [] {
    write_file("UPDATE.ENV", "APPTITLE Kestrel|Update\r\nDELSAVE 1\r\n\x1A" "README r\r\n");
    load_env();
  });
  char title[ENV_RECORD_SIZE] = "";
  EXPECT_EQ(0, env_string("APPTITLE", title));
  EXPECT_STREQ("Kestrel Update", title);
  EXPECT_EQ(1, env_int0("DELSAVE"));
  EXPECT_EQ(7, env_int("README", 7));
  EXPECT_EQ(0, frame_double()->box_count);
}

TEST_F(LoadEnv, ReadsTheMemberOfTheUpdateArchive) {
  const std::string env_text = "APPTITLE t\r\nSAVENAME\r\n", next = "APPTITLE z\r\nDATA 1\r\n";
  PakEntry entries[3] = {};
  pak_set_entry_name(&entries[0], "UPDATE.ENV");
  entries[0].offset = uint32_t(env_text.size());
  pak_set_entry_name(&entries[1], "ZZZ.DAT");
  entries[1].offset = uint32_t(next.size());
  ASSERT_LT(pak_entry_compare(&entries[0], &entries[1]), 0);
  pak_close_directory(entries, 2);
  PakHeader header;
  pak_init_header(&header, 3);
  std::string archive(reinterpret_cast<const char*>(&header), sizeof header);
  archive.append(reinterpret_cast<const char*>(entries), sizeof entries);
  archive += env_text + next;

  inside({"UPDATE.PAK"}, [&] {
    write_file("UPDATE.PAK", archive);
    ASSERT_EQ(0, add_archive_source("UPDATE.PAK"));
    load_env();
  });
  char value[ENV_RECORD_SIZE] = "";
  EXPECT_EQ(0, env_string("APPTITLE", value));
  EXPECT_STREQ("t", value);  // the lines after the member never hide its keys,
  EXPECT_EQ(0, env_string("SAVENAME", value));
  EXPECT_STREQ("APPTITLE", value);  // but give a value to a key that ends it without one
  EXPECT_EQ(1, env_int0("DATA"));
}

}  // namespace
