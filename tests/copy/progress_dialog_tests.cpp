// The progress dialog "COPYING" on screen: opening and closing, the file's name and bar while
// copy_file runs, a dialog of its own for a copy made without one, and the Cancel button
// pressed from another thread as a user would.
#include "copy_fixture.h"
#include <commctrl.h>
#include "app_window.h"
#include "robot.h"
#include "wide_text.h"

namespace {

enum { BOX_TIMEOUT_MS = 30000 };

typedef CopyTest ProgressDialog;

std::string control_text(HWND dialog, int id) {
  wchar_t wide[600] = {};
  GetDlgItemTextW(dialog, id, wide, 600);
  char text[1200];
  return wide_to_cp932(wide, text, sizeof text) >= 0 ? text : "(no cp932 form)";
}

int bar_max(HWND dialog) {
  return (int)SendDlgItemMessageW(dialog, PROGRESS_FILE_BAR_ID, PBM_GETRANGE, FALSE, 0);
}
int bar_min(HWND dialog) {
  return (int)SendDlgItemMessageW(dialog, PROGRESS_FILE_BAR_ID, PBM_GETRANGE, TRUE, 0);
}
int bar_pos(HWND dialog) {
  return (int)SendDlgItemMessageW(dialog, PROGRESS_FILE_BAR_ID, PBM_GETPOS, 0, 0);
}

// What the dialog showed at each chunk: the bar's position before the chunk was read, and
// the name shown at the first one.
std::vector<int> positions_seen;
std::string name_seen;
CopyFault watch_bar(CopyCall call) {
  if (call == COPY_CALL_READ) {
    if (positions_seen.empty()) name_seen = control_text(progress_window(), PROGRESS_NAME_ID);
    positions_seen.push_back(bar_pos(progress_window()));
  }
  return test_fault_hook(call);
}

TEST_F(ProgressDialog, OpensCentredOnTheMainWindowAndCloses) {
  EXPECT_EQ(close_progress(), 1);
  ASSERT_EQ(open_progress(), 1);
  HWND dialog = progress_window();
  ASSERT_TRUE(IsWindow(dialog));
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), main_window());
  RobotBox box;
  ASSERT_EQ(robot_read_box(dialog, &box), 0);
  EXPECT_STREQ(box.caption.sjis, "ファイルコピー");
  EXPECT_EQ(control_text(dialog, PROGRESS_NAME_ID), "");
  EXPECT_EQ(bar_min(dialog), 0);
  EXPECT_EQ(bar_max(dialog), 1);
  EXPECT_EQ(bar_pos(dialog), 0);
  // The animation control is shown and its clip is among the program's resources (Wine
  // does not answer ACM_ISPLAYING, so whether it plays is not read back).
  HWND animation = GetDlgItem(dialog, PROGRESS_ANIMATION_ID);
  ASSERT_TRUE(animation);
  EXPECT_TRUE(IsWindowVisible(animation));
  EXPECT_TRUE(FindResourceW(GetModuleHandleW(nullptr), L"FILECOPY_AVI", L"AVI"));
  RECT owner, self;
  GetWindowRect(main_window(), &owner);
  GetWindowRect(dialog, &self);
  EXPECT_NEAR((self.left + self.right) / 2, (owner.left + owner.right) / 2, 1);
  EXPECT_NEAR((self.top + self.bottom) / 2, (owner.top + owner.bottom) / 2, 1);

  // Opening again replaces the dialog.
  ASSERT_EQ(open_progress(), 1);
  EXPECT_FALSE(IsWindow(dialog));
  dialog = progress_window();
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_EQ(close_progress(), 0);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(progress_window(), nullptr);
  EXPECT_EQ(close_progress(), 1);
}

TEST_F(ProgressDialog, ShowsTheNameAndMovesTheBarInUnitsOf32KiB) {
  static const struct {
    size_t size;
    int range_max;                  // of bar 1010
    std::vector<int> before_reads;  // its position before each chunk
  } cases[] = {{100, 0, {0}},
               {32768, 1, {0}},
               {40000, 1, {0, 1}},
               {5 * 32768 + 1, 5, {0, 1, 2, 3, 4, 5}}};
  ASSERT_EQ(open_progress(), 1);
  HWND dialog = progress_window();
  set_copy_fault_hook(watch_bar);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    std::string source = "表示" + std::to_string(c.size) + "ソ.dat";
    write_file(source, pattern(c.size, (unsigned)c.size), 0, 5);
    positions_seen.clear();
    EXPECT_EQ(copy_file(path(source).c_str(), path("copy.dat").c_str(), 0), 1);
    EXPECT_EQ(progress_window(), dialog);  // the caller's dialog stays open
    EXPECT_EQ(name_seen, path(source));
    EXPECT_EQ(control_text(dialog, PROGRESS_NAME_ID), path(source));
    EXPECT_EQ(bar_min(dialog), 0);
    EXPECT_EQ(bar_max(dialog), c.range_max);
    EXPECT_EQ(bar_pos(dialog), c.range_max);
    EXPECT_EQ(positions_seen, c.before_reads);
  }
}

TEST_F(ProgressDialog, BarOfALargeFileMovesWhenItReachesAnotherPixel) {
  // 32 MiB: 1024 units on a bar narrower than that. Before each chunk the bar shows the pixel
  // column of the bytes copied so far, and at the end it is full.
  const int units = 1024;
  write_file("big.dat", pattern((size_t)units * 32768, 13), 0, 5);
  ASSERT_EQ(open_progress(), 1);
  HWND dialog = progress_window();
  RECT bar;
  GetClientRect(GetDlgItem(dialog, PROGRESS_FILE_BAR_ID), &bar);
  ASSERT_GT(bar.right, 10);
  ASSERT_LT(bar.right, units);
  set_copy_fault_hook(watch_bar);
  positions_seen.clear();
  EXPECT_EQ(copy_file(path("big.dat").c_str(), path("copy.dat").c_str(), 0), 1);
  ASSERT_EQ(positions_seen.size(), (size_t)units);
  for (int i = 0; i < units; i++) {
    EXPECT_LE(positions_seen[i], i);
    EXPECT_EQ(positions_seen[i] * bar.right / units, i * bar.right / units) << "chunk " << i;
  }
  EXPECT_EQ(bar_max(dialog), units);
  EXPECT_EQ(bar_pos(dialog), units);
}

TEST_F(ProgressDialog, CopyWithoutADialogShowsOneForThatCopyOnly) {
  write_file("src.dat", pattern(40000, 2), 0, 5);
  ASSERT_EQ(progress_window(), nullptr);
  EXPECT_EQ(copy_file(path("src.dat").c_str(), path("copy.dat").c_str(), 0), 1);
  HWND shown = counts.dialog_at_first_read;
  EXPECT_NE(shown, nullptr);
  EXPECT_FALSE(IsWindow(shown));
  EXPECT_EQ(progress_window(), nullptr);
}

TEST_F(ProgressDialog, CancelButtonStopsTheCopyAndKeepsTheOldTarget) {
  // 8 MiB read slowly (20 ms a chunk, 5 s in all) while the robot presses Cancel.
  write_file("大きい表.dat", pattern(8 << 20, 11), 0, 5);
  write_file("能力.dat", "the working version", FILE_ATTRIBUTE_READONLY, 3);
  FileState before = state("能力.dat");
  plan.sleep_per_read_ms = 20;
  int cancel = IDCANCEL;
  ASSERT_EQ(robot_start(&cancel, 1, BOX_TIMEOUT_MS), 0);
  EXPECT_EQ(copy_file(path("大きい表.dat").c_str(), path("能力.dat").c_str(), 0), 0);
  ASSERT_EQ(robot_wait(BOX_TIMEOUT_MS * 2), 1);
  EXPECT_STREQ(robot_record(0)->caption.sjis, "ファイルコピー");
  EXPECT_LT(counts.reads, 256);
  EXPECT_EQ(state("能力.dat"), before);
  EXPECT_EQ(listing(), (std::vector<std::string>{"大きい表.dat", "能力.dat"}));
}

}  // namespace
