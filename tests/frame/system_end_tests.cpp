// The ShutdownChain and app_exit: packed order with moves, run order latest first, overflow,
// exit codes with the chain's output seen from the parent of a death test.
#include <gtest/gtest.h>
#include <stdio.h>
#include <utility>
#include "frame_fixture.h"

namespace {

bool print_ends;  // set in death tests: the parent reads the order from the child's stderr

// A shutdown callback named by a letter: logs it (and prints "[L]" when print_ends is on),
// then removes itself from the chain as every shutdown callback does.
template <char L>
void letter_end(void) {
  frame_log += L;
  if (print_ends) fprintf(stderr, "[%c]", L);
  remove_system_end(letter_end<L>);
}

// One that stays in the chain when it runs.
void staying_end(void) { frame_log += "s"; }

template <int N>
void numbered_end(void) {
  frame_log += std::to_string(N) + ",";
  remove_system_end(numbered_end<N>);
}

template <int... N>
void add_numbered(std::integer_sequence<int, N...>) {
  (add_system_end(numbered_end<N>), ...);
}

template <int... N>
void remove_numbered(std::integer_sequence<int, N...>) {
  (remove_system_end(numbered_end<N>), ...);
}

class ShutdownChain : public ::testing::Test {
 protected:
  void SetUp() override {
    test_main_window();
    frame_log.clear();
  }
  void TearDown() override {
    for (SystemEndProc proc : {letter_end<'A'>, letter_end<'B'>, letter_end<'C'>, staying_end})
      remove_system_end(proc);
    remove_numbered(std::make_integer_sequence<int, SYSTEM_END_SLOTS + 1>());
  }
};

TEST_F(ShutdownChain, ReAddingMovesToTheEndAndRunsLatestFirst) {
  watch_for_box();
  add_system_end(letter_end<'A'>);
  add_system_end(letter_end<'B'>);
  add_system_end(letter_end<'C'>);
  add_system_end(letter_end<'A'>);  // chain B, C, A
  EXPECT_TRUE(no_box_came());
  run_system_end();
  EXPECT_EQ(frame_log, "ACB");
  frame_log.clear();
  run_system_end();  // all removed themselves
  EXPECT_EQ(frame_log, "");
}

TEST_F(ShutdownChain, RemovingAbsentOrMiddleKeepsTheRestInOrder) {
  add_system_end(letter_end<'A'>);
  add_system_end(staying_end);
  add_system_end(letter_end<'B'>);
  remove_system_end(letter_end<'C'>);  // not present: nothing changes
  run_system_end();
  EXPECT_EQ(frame_log, "BsA");
  remove_system_end(staying_end);  // the only one left
  frame_log.clear();
  run_system_end();
  EXPECT_EQ(frame_log, "");
}

TEST_F(ShutdownChain, CallbackThatStaysRunsAgainOnTheNextRun) {
  add_system_end(staying_end);
  add_system_end(letter_end<'A'>);
  run_system_end();
  run_system_end();
  EXPECT_EQ(frame_log, "Ass");
}

TEST_F(ShutdownChain, TwentyFirstShowsItsBoxAndIsDropped) {
  answer_boxes({IDOK});
  add_numbered(std::make_integer_sequence<int, SYSTEM_END_SLOTS + 1>());
  ASSERT_EQ(answered_boxes(), 1);
  EXPECT_STREQ(robot_record(0)->texts[0].sjis, "add_system_end OverFlow!!");
  EXPECT_EQ(robot_record(0)->icon, ROBOT_ICON_NONE);

  // Adding one of the twenty again only moves it to the end: no box.
  watch_for_box();
  add_system_end(numbered_end<0>);
  EXPECT_TRUE(no_box_came());
  run_system_end();
  EXPECT_EQ(frame_log, "0,19,18,17,16,15,14,13,12,11,10,9,8,7,6,5,4,3,2,1,");
}

TEST_F(ShutdownChain, AppExitRunsTheChainThenExitsWithTheCode) {
  EXPECT_EXIT(
      {
        print_ends = true;
        add_system_end(letter_end<'A'>);
        add_system_end(letter_end<'B'>);
        add_system_end(letter_end<'C'>);
        add_system_end(letter_end<'A'>);
        app_exit(7);
      },
      ::testing::ExitedWithCode(7), "^\\[A\\]\\[C\\]\\[B\\]$");
}

TEST_F(ShutdownChain, AppExitWithNegativeCode) {
  // Windows sees -1 as -1; the exit status carries all 32 bits.
  EXPECT_EXIT(app_exit(-1), ::testing::ExitedWithCode(-1), "");
}

TEST_F(ShutdownChain, ComIsReleasedOnceByTheChain) {
  com_start();
  HRESULT again = CoInitialize(nullptr);  // S_FALSE: already initialised on this thread
  EXPECT_EQ(again, S_FALSE);
  if (SUCCEEDED(again)) CoUninitialize();
  run_system_end();  // com_system_end: CoUninitialize, then it leaves the chain
  HRESULT fresh = CoInitialize(nullptr);
  EXPECT_EQ(fresh, S_OK);
  run_system_end();  // com_system_end is gone: our own initialisation stays
  HRESULT kept = CoInitialize(nullptr);
  EXPECT_EQ(kept, S_FALSE);
  if (SUCCEEDED(kept)) CoUninitialize();
  if (SUCCEEDED(fresh)) CoUninitialize();
}

}  // namespace
