// pump_messages: the idle counter and its 257th-call rule, and WM_QUIT ending the program
// through the shutdown chain while the messages queued behind it are still dispatched.
#include <gtest/gtest.h>
#include <stdio.h>
#include "frame_fixture.h"

namespace {

enum { MSG_LATE = WM_USER + 7 };

int idle_runs;
void count_idle(void) { idle_runs++; }

int late_proc(HWND, UINT msg, WPARAM, LPARAM) {
  if (msg != MSG_LATE) return 0;
  fprintf(stderr, "[late]");
  return 1;
}

void end_a(void) {
  fprintf(stderr, "[A]");
  remove_system_end(end_a);
}

class MessagePump : public ::testing::Test {
 protected:
  void SetUp() override {
    window = test_main_window();
    idle_runs = 0;
    ASSERT_EQ(add_idle_proc(count_idle), 0);
    // One message taken resets the counter.
    PostMessageW(window, WM_NULL, 0, 0);
    pump_messages();
  }
  void TearDown() override {
    remove_idle_proc(count_idle);
    remove_wnd_proc(late_proc);
  }
  void pump_times(int n) {
    for (int i = 0; i < n; i++) pump_messages();
  }
  HWND window = nullptr;
};

TEST_F(MessagePump, IdleChainRunsOnThe257thEmptyPump) {
  pump_times(IDLE_PUMP_LIMIT);
  EXPECT_EQ(idle_runs, 0);
  pump_messages();
  EXPECT_EQ(idle_runs, 1);
  pump_times(IDLE_PUMP_LIMIT);  // counting starts again
  EXPECT_EQ(idle_runs, 1);
  pump_messages();
  EXPECT_EQ(idle_runs, 2);
}

TEST_F(MessagePump, PumpThatTakesAMessageResetsTheCount) {
  pump_times(200);
  PostMessageW(window, WM_NULL, 0, 0);
  pump_messages();
  pump_times(IDLE_PUMP_LIMIT);
  EXPECT_EQ(idle_runs, 0);
  pump_messages();
  EXPECT_EQ(idle_runs, 1);
}

TEST_F(MessagePump, QuitEndsWithItsCodeAfterTheChainAndQueuedMessages) {
  // Messages behind the quit message are dispatched by the shutdown chain's pumps; a second
  // quit message met there does not change the exit code.
  EXPECT_EXIT(
      {
        AddWndPorc(late_proc);
        add_system_end(end_a);
        PostMessageW(window, WM_QUIT, 3, 0);
        PostMessageW(window, MSG_LATE, 0, 0);
        PostMessageW(window, WM_QUIT, 0, 0);
        pump_messages();
      },
      ::testing::ExitedWithCode(3), "^\\[late\\]\\[A\\]$");
}

}  // namespace
