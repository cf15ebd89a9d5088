// The source table: adding and removing sources, the start-up source, and loading the four
// directory formats from whole, short and damaged archive files.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "frame_double.h"
#include "resfs_files.h"
#include "resource_sources.h"

namespace {

using SourceTable = ScratchTest;

TEST_F(SourceTable, DirectoryPathLosesTrailingBackslashesOnly) {
  EXPECT_EQ(0, add_directory_source("UPDATE\\"));
  EXPECT_STREQ("UPDATE", resource_slot(0)->directory_path);
  remove_source("UPDATE\\");  // removing compares the text as given
  EXPECT_STREQ("UPDATE", resource_slot(0)->directory_path);
  remove_source("UPDATE");
  EXPECT_EQ(0, first_free_slot());

  // Only backslashes: nothing is left to register.
  EXPECT_EQ(1, add_directory_source("\\\\"));
  EXPECT_EQ(0, first_free_slot());

  // The trail byte 0x5C of "ソ" is part of the name, not a separator to drop.
  EXPECT_EQ(0, add_directory_source("データソ\\\\"));
  EXPECT_STREQ("データソ", resource_slot(0)->directory_path);
  EXPECT_EQ(0, add_directory_source("表"));
  EXPECT_STREQ("表", resource_slot(1)->directory_path);
}

TEST_F(SourceTable, EmptyAndOverlongPathsAreNotAdded) {
  ASSERT_EQ(0, add_directory_source("UPDATE"));
  ASSERT_EQ(0, add_archive_source("MISSING.PAK"));
  remove_source("");  // an empty path names no source: it must not match the unused fields
  EXPECT_STREQ("UPDATE", resource_slot(0)->directory_path);
  EXPECT_STREQ("MISSING.PAK", resource_slot(1)->archive_path);

  EXPECT_EQ(1, add_archive_source(""));
  std::string long_path(PATH_TEXT_SIZE, 'A');
  EXPECT_EQ(1, add_archive_source(long_path.c_str()));
  EXPECT_EQ(1, add_directory_source(long_path.c_str()));
  EXPECT_EQ(0, add_directory_source(long_path.substr(1).c_str()));  // 259 bytes fit
  EXPECT_EQ(3, first_free_slot());
}

TEST_F(SourceTable, SameArchiveTwiceKeepsOneSlotWithAFreshDirectory) {
  put_file("A.PAK", pak_archive({{"OLD.TXT", "old"}}));
  ASSERT_EQ(0, add_archive_source("A.PAK"));
  put_file("A.PAK", pak_archive({{"NEW.TXT", "new"}, {"TWO.TXT", "2"}}));
  ASSERT_EQ(0, add_archive_source("A.PAK"));
  EXPECT_STREQ("A.PAK", resource_slot(0)->archive_path);
  EXPECT_EQ(1, first_free_slot());
  EXPECT_EQ(3, resource_slot(0)->count);
  EXPECT_EQ(0, strncmp("NEW.TXT", resource_slot(0)->pak[0].name, 8));
}

TEST_F(SourceTable, FullTableAddsNothingAndTouchesNothing) {
  put_file("A.PAK", pak_archive({{"A.TXT", "a"}}));
  for (int i = 0; i < RESOURCE_SLOT_COUNT; ++i) {
    std::string name = "D" + std::to_string(i);
    ASSERT_EQ(0, i % 2 ? add_directory_source(name.c_str()) : add_archive_source((name + ".PAK").c_str()));
  }
  ASSERT_EQ(-1, first_free_slot());
  ResourceSlot before[RESOURCE_SLOT_COUNT];
  for (int i = 0; i < RESOURCE_SLOT_COUNT; ++i) memcpy(&before[i], resource_slot(i), sizeof before[i]);
  int allocations = frame_double()->allocations;

  EXPECT_EQ(1, add_archive_source("A.PAK"));
  EXPECT_EQ(1, add_directory_source("MORE"));
  EXPECT_EQ(allocations, frame_double()->allocations);
  for (int i = 0; i < RESOURCE_SLOT_COUNT; ++i)
    EXPECT_EQ(0, memcmp(&before[i], resource_slot(i), sizeof before[i])) << "slot " << i;
  EXPECT_EQ(nullptr, resource_slot(RESOURCE_SLOT_COUNT));
  EXPECT_EQ(nullptr, resource_slot(-1));
  EXPECT_EQ(0, frame_double()->box_count);
}

// How much of an archive file becomes the directory: the format word picks the table, and
// only whole entries that are in the file count.
TEST_F(SourceTable, LoadsOnlyTheWholeEntriesInTheFile) {
  std::string pak3 = pak_archive({{"A.TXT", "a"}, {"B.TXT", "b"}});  // 3 entries with the end entry
  std::string ac3 = ac_archive({{"A.TXT", "a"}, {"B.TXT", "b"}});
  std::string keyed2 = keyed_archive({{"A.TXT", "a"}, {"B.TXT", "b"}});
  std::string short2 = short_name_archive({{"A.TXT", "a"}, {"B.TXT", "b"}});
  std::string pak_big_count = pak3;
  put_u32(pak_big_count, 12, 0x00010003);  // only the low 16 bits count

  struct Case {
    const char* what;
    std::string image;
    ArchiveFormat format;
    bool has_table;
    int count;
  } cases[] = {
      {"empty file", "", FORMAT_SHORT_NAME, false, 0},
      {"one byte", "A", FORMAT_SHORT_NAME, false, 0},
      {"format word only", "AD", FORMAT_PAK, false, 0},
      {"half a PAK header", pak3.substr(0, 9), FORMAT_PAK, false, 0},
      {"PAK header only", pak3.substr(0, 16), FORMAT_PAK, false, 0},
      {"PAK, 1.5 entries", pak3.substr(0, 16 + 48), FORMAT_PAK, true, 1},
      {"PAK whole", pak3, FORMAT_PAK, true, 3},
      {"PAK count above 65535", pak_big_count, FORMAT_PAK, true, 3},
      {"AC, 2 of 3 entries", ac3.substr(0, 16 + 64 + 31), FORMAT_AC, true, 2},
      {"AC whole", ac3, FORMAT_AC, true, 3},
      {"keyed word only", keyed2.substr(0, 3), FORMAT_KEYED, false, 0},
      {"keyed, 1 of 2 entries", keyed2.substr(0, 4 + 15), FORMAT_KEYED, true, 1},
      {"keyed whole", keyed2, FORMAT_KEYED, true, 2},
      {"short-name, 1 of 2 entries", short2.substr(0, 2 + 20), FORMAT_SHORT_NAME, true, 1},
      {"short-name whole", short2, FORMAT_SHORT_NAME, true, 2},
      {"short-name count 0", std::string(2, 0), FORMAT_SHORT_NAME, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reset_resource_sources();
    put_file("X.ARC", c.image);
    ASSERT_EQ(0, add_archive_source("X.ARC"));
    const ResourceSlot* slot = resource_slot(0);
    EXPECT_STREQ("X.ARC", slot->archive_path);
    EXPECT_EQ(1, first_free_slot());  // in use even without a table
    EXPECT_EQ(int64_t(c.image.size()), slot->archive_size);
    EXPECT_EQ(c.count, slot->count);
    const void* tables[] = {slot->short_names, slot->keyed, slot->ac, slot->pak};
    for (int f = 0; f < 4; ++f) EXPECT_EQ(c.has_table && f == c.format, tables[f] != nullptr) << f;
  }
}

TEST_F(SourceTable, ArchiveThatDoesNotOpenIsInUseWithoutTable) {
  ASSERT_EQ(0, add_archive_source("NONE.PAK"));
  make_dir("DIR.PAK");
  ASSERT_EQ(0, add_archive_source("DIR.PAK"));  // a directory never opens as an archive
  for (int i = 0; i < 2; ++i) {
    const ResourceSlot* slot = resource_slot(i);
    EXPECT_EQ(0, slot->count);
    EXPECT_TRUE(!slot->short_names && !slot->keyed && !slot->ac && !slot->pak);
  }
  EXPECT_EQ(2, first_free_slot());
  EXPECT_EQ(0, frame_double()->box_count);
}

TEST_F(SourceTable, UpdateSourceIsTheMarkedDirectoryElseTheArchive) {
  struct Case {
    const char* what;
    bool directory, marker, archive;
    const char* directory_path;
    const char* archive_path;
  } cases[] = {
      {"marker and archive", true, true, true, "UPDATE", ""},
      {"marker only", true, true, false, "UPDATE", ""},
      {"directory without marker, archive", true, false, true, "", "UPDATE.PAK"},
      {"archive only", false, false, true, "", "UPDATE.PAK"},
      {"directory without marker", true, false, false, "", ""},
      {"neither", false, false, false, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reset_resource_sources();
    std::filesystem::remove_all("UPDATE");
    remove_file("UPDATE.PAK");
    if (c.directory) make_dir("UPDATE");
    if (c.marker) put_file("UPDATE\\PK.BAT", "rem\r\n");
    if (c.archive) put_file("UPDATE.PAK", pak_archive({{"UPDATE.ENV", "X=1\r\n"}}));
    register_update_source();
    EXPECT_STREQ(c.directory_path, resource_slot(0)->directory_path);
    EXPECT_STREQ(c.archive_path, resource_slot(0)->archive_path);
    EXPECT_EQ(c.directory_path[0] || c.archive_path[0] ? 1 : 0, first_free_slot());
  }
}

}  // namespace
