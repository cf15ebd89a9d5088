// The robot against a dialog of known make-up built in memory: what it reads, and both ways it
// presses a button (the answering thread's click, and a posted command).
#include <gtest/gtest.h>
#include <string.h>
#include <thread>
#include <vector>
#include "robot.h"

namespace {

enum { TEXT_ONE = 101, TEXT_TWO = 102, TIMEOUT_MS = 30000 };

// Appends a UTF-16 string (or a one-word ordinal for a predefined class) to a template.
void put_text(std::vector<WORD>& t, const wchar_t* text) {
  do t.push_back((WORD)*text); while (*text++);
}

void put_item(std::vector<WORD>& t, DWORD style, short x, short y, short cx, short cy, WORD id,
              WORD atom, const wchar_t* text) {
  while (t.size() % 2) t.push_back(0);  // DLGITEMTEMPLATE is DWORD aligned
  DLGITEMTEMPLATE item = {style | WS_CHILD | WS_VISIBLE, 0, x, y, cx, cy, id};
  const WORD* words = (const WORD*)&item;
  t.insert(t.end(), words, words + sizeof item / 2);
  t.push_back(0xFFFF);
  t.push_back(atom);  // 0x0080 button, 0x0082 static
  put_text(t, text);
  t.push_back(0);  // no creation data
}

// A dialog "ロボット試験" with two texts, OK and キャンセル.
std::vector<WORD> sample_dialog() {
  std::vector<WORD> t(sizeof(DLGTEMPLATE) / 2);
  DLGTEMPLATE* head = (DLGTEMPLATE*)t.data();
  head->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
  head->cdit = 4;
  head->cx = 200;
  head->cy = 80;
  t.push_back(0);  // no menu
  t.push_back(0);  // default class
  put_text(t, L"ロボット試験");
  put_item(t, SS_LEFT, 10, 10, 180, 10, TEXT_ONE, 0x0082, L"一行目の文");
  put_item(t, SS_LEFT, 10, 25, 180, 10, TEXT_TWO, 0x0082, L"second line");
  put_item(t, BS_DEFPUSHBUTTON, 40, 55, 50, 14, IDOK, 0x0080, L"OK");
  put_item(t, BS_PUSHBUTTON, 110, 55, 50, 14, IDCANCEL, 0x0080, L"キャンセル");
  return t;
}

INT_PTR CALLBACK sample_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wparam));
    return TRUE;
  }
  return FALSE;
}

INT_PTR run_sample() {
  std::vector<WORD> t = sample_dialog();
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), (LPCDLGTEMPLATEW)t.data(), nullptr,
                                 sample_proc, 0);
}

TEST(Robot, AnswersAndRecordsADialog) {
  int buttons[] = {IDCANCEL};
  ASSERT_EQ(robot_start(buttons, 1, TIMEOUT_MS), 0);
  EXPECT_EQ(robot_start(buttons, 1, TIMEOUT_MS), -1);  // one run at a time
  EXPECT_EQ(run_sample(), IDCANCEL);
  ASSERT_EQ(robot_wait(TIMEOUT_MS), 1);
  ASSERT_EQ(robot_record_count(), 1);
  EXPECT_EQ(robot_record(1), nullptr);
  const RobotBox* box = robot_record(0);
  EXPECT_EQ(box->process_id, GetCurrentProcessId());
  EXPECT_STREQ(box->caption.wide, L"ロボット試験");
  EXPECT_STREQ(box->caption.sjis, "ロボット試験");
  ASSERT_EQ(box->text_count, 2);
  EXPECT_EQ(box->text_ids[0], TEXT_ONE);
  EXPECT_STREQ(box->texts[0].sjis, "一行目の文");
  EXPECT_STREQ(box->texts[1].wide, L"second line");
  ASSERT_EQ(box->button_count, 2);
  EXPECT_EQ(box->button_ids[0], IDOK);
  EXPECT_EQ(box->button_ids[1], IDCANCEL);
  EXPECT_EQ(box->icon, ROBOT_ICON_NONE);
  EXPECT_EQ(box->pressed, IDCANCEL);
}

TEST(Robot, FindsByProcessReadsControlsAndPostsCommands) {
  std::thread driver([] {
    // Another process id finds nothing; this one finds the dialog.
    EXPECT_EQ(robot_find_box(0xFFFFFFF0u, nullptr, 200), nullptr);
    HWND box = robot_find_box(GetCurrentProcessId(), nullptr, TIMEOUT_MS);
    ASSERT_NE(box, nullptr);
    RobotText text;
    EXPECT_EQ(robot_control_text(box, IDCANCEL, &text), 0);
    EXPECT_STREQ(text.sjis, "キャンセル");
    EXPECT_EQ(robot_control_text(box, 999, &text), -1);
    EXPECT_EQ(robot_press(box, 999), -1);
    EXPECT_EQ(robot_command(box, IDOK), 0);
    EXPECT_EQ(robot_wait_gone(box, TIMEOUT_MS), 0);
  });
  EXPECT_EQ(run_sample(), IDOK);
  driver.join();
}

TEST(Robot, RejectsScriptsOutOfRange) {
  int buttons[ROBOT_MAX_RECORDS + 1] = {};
  EXPECT_EQ(robot_start(buttons, 0, 10), -1);
  EXPECT_EQ(robot_start(buttons, ROBOT_MAX_RECORDS + 1, 10), -1);
}

}  // namespace
