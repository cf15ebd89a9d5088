// The message boxes, answered by the robot: caption from the main window's title at that
// moment, owner, icon and buttons by kind, confirm's answer, and the out-of-memory end.
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdio.h>
#include "frame_fixture.h"

namespace {

class MessageBoxes : public ::testing::Test {
 protected:
  void SetUp() override { window = test_main_window(); }
  void TearDown() override { set_main_window(window); }
  HWND window = nullptr;
};

TEST_F(MessageBoxes, JapaneseCaptionAndTextReadBackIdentically) {
  set_main_window_title("ソフト表示の更新 ～テスト～");
  answer_boxes({IDOK});
  notice_box("ファイルを更新しますか？\n「十ポ表示」");
  ASSERT_EQ(answered_boxes(), 1);
  const RobotBox* box = robot_record(0);
  EXPECT_STREQ(box->caption.sjis, "ソフト表示の更新 ～テスト～");
  EXPECT_STREQ(box->caption.wide, L"ソフト表示の更新 ～テスト～");
  ASSERT_EQ(box->text_count, 1);
  EXPECT_STREQ(box->texts[0].sjis, "ファイルを更新しますか？\n「十ポ表示」");
  EXPECT_STREQ(box->texts[0].wide, L"ファイルを更新しますか？\n「十ポ表示」");
  EXPECT_EQ(box->owner, window);
}

TEST_F(MessageBoxes, CaptionFollowsTheTitleAtTheMomentOfTheBox) {
  const struct {
    bool window_exists;
    const char* title;  // set before the box when the window exists
  } cases[] = {{false, ""}, {true, ""}, {true, "APPTITLEセクションを定義してください"},
               {true, "更新"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(hex_of(c.title));
    set_main_window(window);
    set_main_window_title(c.title);  // the title of a window that is then not the main one
    if (!c.window_exists) set_main_window(nullptr);
    answer_boxes({IDOK});
    error_box("x");
    ASSERT_EQ(answered_boxes(), 1);
    const RobotBox* box = robot_record(0);
    EXPECT_STREQ(box->caption.sjis, c.title);
    EXPECT_EQ(box->owner, c.window_exists ? window : nullptr);
  }
}

TEST_F(MessageBoxes, KindGivesIconAndButtons) {
  answer_boxes({IDOK, IDOK, IDOK});
  error_box("error");
  notice_box("notice");
  confirm_box("confirm");
  ASSERT_EQ(answered_boxes(), 3);
  const struct {
    RobotIcon icon;
    int buttons;
    int ids[2];
  } expected[] = {{ROBOT_ICON_ERROR, 1, {IDOK}}, {ROBOT_ICON_NONE, 1, {IDOK}},
                  {ROBOT_ICON_NONE, 2, {IDOK, IDCANCEL}}};
  for (int i = 0; i < 3; i++) {
    const RobotBox* box = robot_record(i);
    EXPECT_EQ(box->icon, expected[i].icon) << i;
    ASSERT_EQ(box->button_count, expected[i].buttons) << i;
    for (int b = 0; b < expected[i].buttons; b++) EXPECT_EQ(box->button_ids[b], expected[i].ids[b]);
  }
}

TEST_F(MessageBoxes, ConfirmIsTrueOnlyForOk) {
  answer_boxes({IDOK, IDCANCEL});
  EXPECT_TRUE(confirm_box("続けますか？"));
  EXPECT_FALSE(confirm_box("続けますか？"));
  ASSERT_EQ(answered_boxes(), 2);
  EXPECT_EQ(robot_record(1)->pressed, IDCANCEL);
}

// The out-of-memory end: the child prints the boxes the robot answered from the shutdown
// chain, as "[box:<text in hex>|icon:<kind>]".
void print_boxes(void) {
  robot_wait(BOX_TIMEOUT_MS);
  for (int i = 0; i < robot_record_count(); i++)
    fprintf(stderr, "[box:%s|icon:%d]", hex_of(robot_record(i)->texts[0].sjis).c_str(),
            (int)robot_record(i)->icon);
  remove_system_end(print_boxes);
}

TEST_F(MessageBoxes, AllocationFailureTellsTheUserAndExitsWithOne) {
  std::string expected = "^\\[box:" + hex_of("メモリーが不足しています 実行を中止します") +
                         "\\|icon:" + std::to_string((int)ROBOT_ICON_ERROR) + "\\]$";
  EXPECT_EXIT(
      {
        add_system_end(print_boxes);
        answer_boxes({IDOK});
        volatile size_t huge = SIZE_MAX / 2;
        mem_alloc(huge);
      },
      ::testing::ExitedWithCode(1), expected.c_str());
}

TEST(Memory, AllocationsAreUsableAndZeroSizeIsNotAFailure) {
  char* block = (char*)mem_alloc(100);
  ASSERT_NE(block, nullptr);
  block[99] = 1;
  mem_free(block);
  void* empty = mem_alloc(0);
  EXPECT_NE(empty, nullptr);
  mem_free(empty);
}

}  // namespace
