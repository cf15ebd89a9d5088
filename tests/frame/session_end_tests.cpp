// The end of the Windows session as the main window sees it: the query is answered yes and
// changes nothing; the end itself runs the shutdown chain and exits with 0; an end called off
// changes nothing.
#include <gtest/gtest.h>
#include <stdio.h>
#include "frame_fixture.h"

namespace {

void logged_end(void) {
  frame_log += "end;";
  fprintf(stderr, "[end]");
  remove_system_end(logged_end);
}

class SessionEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    window = test_main_window();
    frame_log.clear();
    register_session_end();
    add_system_end(logged_end);
  }
  void TearDown() override {
    remove_wnd_proc(session_end_proc);
    remove_system_end(logged_end);
  }
  HWND window = nullptr;
};

TEST_F(SessionEnd, QueryIsAnsweredYesAndAnEndCalledOffChangesNothing) {
  EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_EQ(SendMessageW(window, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF), 0);
  pump_messages();
  EXPECT_EQ(frame_log, "");
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(SessionEnd, EndRunsTheShutdownChainAndExitsWithZero) {
  for (LPARAM reason : {(LPARAM)0, (LPARAM)ENDSESSION_LOGOFF, (LPARAM)ENDSESSION_CLOSEAPP}) {
    SCOPED_TRACE(reason);
    EXPECT_EXIT(
        {
          SendMessageW(window, WM_QUERYENDSESSION, 0, reason);
          SendMessageW(window, WM_ENDSESSION, TRUE, reason);
          fprintf(stderr, "[returned]");
          exit(5);
        },
        ::testing::ExitedWithCode(0), "^\\[end\\]$");
  }
}

}  // namespace
