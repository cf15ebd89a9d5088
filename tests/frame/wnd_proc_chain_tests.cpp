// The WindowProcChain and main_wnd_proc: slot order with holes, duplicates, overflow, every
// callback consulted, DefWindowProc for unhandled messages, the shared result.
#include <gtest/gtest.h>
#include <utility>
#include "frame_fixture.h"

namespace {

enum { MSG_PROBE = WM_USER + 1, MSG_NESTED = WM_USER + 2 };

int probe_result;  // what the probe callbacks set with set_wnd_proc_result, 0 for none

// Callbacks named by a letter: log "<letter>" for MSG_PROBE and report it handled when the
// letter is upper case.
template <char L>
int letter_proc(HWND, UINT msg, WPARAM, LPARAM) {
  if (msg != MSG_PROBE && msg != WM_SETTEXT) return 0;
  frame_log += L;
  return L >= 'A' && L <= 'Z';
}

template <int N>
int numbered_proc(HWND, UINT, WPARAM, LPARAM) {
  return 0;
}

template <int... N>
void add_numbered(std::integer_sequence<int, N...>, int* results) {
  int i = 0;
  ((results[i++] = AddWndPorc(numbered_proc<N>)), ...);
}

template <int... N>
void remove_numbered(std::integer_sequence<int, N...>) {
  (remove_wnd_proc(numbered_proc<N>), ...);
}

int setting_proc(HWND, UINT msg, WPARAM, LPARAM) {
  if (msg != MSG_PROBE) return 0;
  frame_log += "s";
  set_wnd_proc_result(probe_result);
  return 1;
}

int second_setting_proc(HWND, UINT msg, WPARAM, LPARAM) {
  if (msg != MSG_PROBE) return 0;
  frame_log += "t";
  set_wnd_proc_result(probe_result + 1);
  return 1;
}

// Sets 5, then sends MSG_NESTED (handled by nested_proc with 11); sets 5 again afterwards
// when `set_after` is on.
bool set_after;
int outer_proc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
  if (msg != MSG_PROBE) return 0;
  set_wnd_proc_result(5);
  LRESULT nested = SendMessageW(hwnd, MSG_NESTED, 0, 0);
  frame_log += "nested=" + std::to_string((int)nested) + ";";
  if (set_after) set_wnd_proc_result(5);
  return 1;
}

int nested_proc(HWND, UINT msg, WPARAM, LPARAM) {
  if (msg != MSG_NESTED) return 0;
  set_wnd_proc_result(11);
  return 1;
}

class WndProcChain : public ::testing::Test {
 protected:
  void SetUp() override {
    window = test_main_window();
    frame_log.clear();
    probe_result = 0;
  }
  void TearDown() override {
    for (WndProcCallback proc : {letter_proc<'a'>, letter_proc<'b'>, letter_proc<'c'>,
                                 letter_proc<'d'>, letter_proc<'A'>, letter_proc<'B'>,
                                 setting_proc, second_setting_proc, outer_proc, nested_proc})
      remove_wnd_proc(proc);
    remove_numbered(std::make_integer_sequence<int, WND_PROC_SLOTS + 1>());
  }
  LRESULT probe() { return SendMessageW(window, MSG_PROBE, 0, 0); }
  HWND window = nullptr;
};

TEST_F(WndProcChain, AddingTwiceKeepsOneEntryAndRemovingTwiceFails) {
  watch_for_box();
  EXPECT_EQ(AddWndPorc(letter_proc<'a'>), 0);
  EXPECT_EQ(AddWndPorc(letter_proc<'a'>), 1);
  EXPECT_TRUE(no_box_came());
  probe();
  EXPECT_EQ(frame_log, "a");
  EXPECT_EQ(remove_wnd_proc(letter_proc<'a'>), 0);
  EXPECT_EQ(remove_wnd_proc(letter_proc<'a'>), 1);
  frame_log.clear();
  probe();
  EXPECT_EQ(frame_log, "");
}

TEST_F(WndProcChain, AdditionFillsTheLowestHoleFirst) {
  for (WndProcCallback proc : {letter_proc<'a'>, letter_proc<'b'>, letter_proc<'c'>,
                               letter_proc<'d'>})
    ASSERT_EQ(AddWndPorc(proc), 0);
  ASSERT_EQ(remove_wnd_proc(letter_proc<'b'>), 0);
  probe();
  EXPECT_EQ(frame_log, "acd");
  ASSERT_EQ(AddWndPorc(letter_proc<'A'>), 0);  // takes slot 1, before c and d
  frame_log.clear();
  probe();
  EXPECT_EQ(frame_log, "aAcd");
}

TEST_F(WndProcChain, FullChainShowsItsBoxAndDropsTheAddition) {
  int results[WND_PROC_SLOTS + 1];
  answer_boxes({IDOK});
  add_numbered(std::make_integer_sequence<int, WND_PROC_SLOTS + 1>(), results);
  ASSERT_EQ(answered_boxes(), 1);
  for (int i = 0; i < WND_PROC_SLOTS; i++) EXPECT_EQ(results[i], 0) << i;
  EXPECT_EQ(results[WND_PROC_SLOTS], 1);
  const RobotBox* box = robot_record(0);
  EXPECT_STREQ(box->texts[0].sjis, "AddWndPorc OverFlow!!!");
  EXPECT_EQ(box->icon, ROBOT_ICON_NONE);
  ASSERT_EQ(box->button_count, 1);
  EXPECT_EQ(box->button_ids[0], IDOK);
  // The 41st was not stored: removing it fails, and a freed slot takes a new callback again.
  EXPECT_EQ(remove_wnd_proc(numbered_proc<WND_PROC_SLOTS>), 1);
  EXPECT_EQ(remove_wnd_proc(numbered_proc<7>), 0);
  EXPECT_EQ(AddWndPorc(letter_proc<'a'>), 0);
}

TEST_F(WndProcChain, UnhandledMessageGoesToDefWindowProc) {
  // WM_SETTEXT shows whether DefWindowProc ran: only it changes the title.
  AddWndPorc(letter_proc<'a'>);
  AddWndPorc(letter_proc<'b'>);
  EXPECT_EQ(SendMessageW(window, WM_SETTEXT, 0, (LPARAM)L"changed"), TRUE);
  EXPECT_EQ(frame_log, "ab");
  wchar_t title[32] = {};
  GetWindowTextW(window, title, 32);
  EXPECT_STREQ(title, L"changed");

  AddWndPorc(letter_proc<'A'>);  // handles it, result left at 0
  frame_log.clear();
  EXPECT_EQ(SendMessageW(window, WM_SETTEXT, 0, (LPARAM)L"kept"), 0);
  EXPECT_EQ(frame_log, "abA");
  GetWindowTextW(window, title, 32);
  EXPECT_STREQ(title, L"changed");
}

TEST_F(WndProcChain, EveryCallbackRunsAndTheLastResultSetWins) {
  AddWndPorc(setting_proc);
  AddWndPorc(letter_proc<'A'>);
  AddWndPorc(second_setting_proc);
  probe_result = 40;
  EXPECT_EQ(probe(), 41);
  EXPECT_EQ(frame_log, "sAt");
  // The next dispatch starts again from 0.
  remove_wnd_proc(setting_proc);
  remove_wnd_proc(second_setting_proc);
  EXPECT_EQ(probe(), 0);
}

TEST_F(WndProcChain, NestedDispatchResetsTheSharedResult) {
  // outer_proc sets 5 and then sends a message that nested_proc (when added) handles with 11.
  const struct {
    bool nested_handled, set_after;
    int expected;
  } cases[] = {{false, false, 0}, {true, false, 11}, {false, true, 5}, {true, true, 5}};
  AddWndPorc(outer_proc);
  for (const auto& c : cases) {
    if (c.nested_handled) AddWndPorc(nested_proc);
    set_after = c.set_after;
    EXPECT_EQ(probe(), c.expected) << c.nested_handled << c.set_after;
    remove_wnd_proc(nested_proc);
  }
}

}  // namespace
