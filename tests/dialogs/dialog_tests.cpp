// The dialogs at work: the centring arithmetic, centring real windows, the confirmation
// template chosen by the update description, the application name in the confirmation line,
// the value each way of ending a dialog gives, and where dialogs appear with and without an
// active window. A background thread plays the user.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include "dialogs.h"
#include "env_table.h"
#include "robot.h"

namespace {

enum { BOX_TIMEOUT_MS = 30000 };

// How the user ends a dialog.
enum Action { PRESS, ENTER, ESCAPE, CLOSE_BOX };

// What the user saw.
struct Seen {
  bool found = false;
  RobotBox box;
  RECT rect = {};
  RobotText line;  // control 1023, the confirmation line (empty when absent)
};

// Waits for the next dialog of this process on a background thread, records it and ends it.
class User {
 public:
  explicit User(Action action, int button = 0)
      : thread_([this, action, button] { run(action, button); }) {}
  const Seen& seen() {
    if (thread_.joinable()) thread_.join();
    return seen_;
  }
  ~User() { seen(); }

 private:
  void run(Action action, int button) {
    HWND box = robot_find_box(GetCurrentProcessId(), nullptr, BOX_TIMEOUT_MS);
    if (!box) return;
    seen_.found = true;
    robot_read_box(box, &seen_.box);
    GetWindowRect(box, &seen_.rect);
    if (robot_control_text(box, CONFIRM_TEXT_ID, &seen_.line) != 0) seen_.line = RobotText();
    switch (action) {
      case PRESS:
        robot_press(box, button);
        break;
      case ENTER:  // as the keyboard gives it, through the dialog manager
        PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
        break;
      case ESCAPE:
        PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
      case CLOSE_BOX:
        PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
    robot_wait_gone(box, BOX_TIMEOUT_MS);
  }
  Seen seen_;
  std::thread thread_;
};

void screen(int* width, int* height) {
  HDC dc = GetDC(nullptr);
  *width = GetDeviceCaps(dc, HORZRES);
  *height = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(nullptr, dc);
}

// Loads the update description from `text` (one "KEY value" per line) through a stream.
void load_description(const char* text) {
  env_reset();
  FILE* stream = tmpfile();
  ASSERT_NE(stream, nullptr);
  fputs(text, stream);
  rewind(stream);
  env_load_stream(stream);
  fclose(stream);
}

HWND popup(int x, int y, int width, int height) {
  return CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_CAPTION | WS_VISIBLE, x, y, width,
                         height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST(CenteredPosition, CentresAndClampsEachAxis) {
  const struct {
    RECT window, owner;
    int x, y;
  } cases[] = {
      {{0, 0, 300, 100}, {100, 100, 300, 300}, 50, 150},     // the plain case
      {{0, 0, 300, 100}, {0, 0, 200, 50}, 0, 0},             // -50 and -25 clamped to 0
      {{0, 0, 300, 100}, {900, 700, 1100, 780}, 724, 668},   // past the far edges: moved back
      {{0, 0, 1200, 900}, {0, 0, 200, 200}, 0, 0},           // left rule first, far rule not then
      {{0, 0, 1200, 100}, {600, 0, 800, 100}, -176, 0},      // only the far rule applied
      {{0, 0, 203, 103}, {100, 100, 300, 300}, 99, 148},     // (200 - 203) / 2 is -1, not -2
      {{50, 60, 250, 160}, {100, 100, 500, 400}, 200, 200},  // only sizes of the window count
  };
  for (const auto& c : cases) {
    POINT at = centered_position(&c.window, &c.owner, 1024, 768);
    EXPECT_EQ(at.x, c.x) << c.owner.left << "," << c.window.right;
    EXPECT_EQ(at.y, c.y) << c.owner.top << "," << c.window.bottom;
  }
}

TEST(CenterOnOwner, MovesTheWindowOnItsOwnerOrTheScreen) {
  int width, height;
  screen(&width, &height);
  HWND owner = popup(100, 120, 400, 300);
  HWND window = popup(0, 0, 200, 100);
  ASSERT_TRUE(owner && window);
  RECT owner_rect, rect;
  GetWindowRect(owner, &owner_rect);
  center_on_owner(window, owner);
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, owner_rect.left + (owner_rect.right - owner_rect.left - 200) / 2);
  EXPECT_EQ(rect.top, owner_rect.top + (owner_rect.bottom - owner_rect.top - 100) / 2);
  EXPECT_EQ(rect.right - rect.left, 200);  // size kept
  // No owner: the middle of the screen.
  center_on_owner(window, nullptr);
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, (width - 200) / 2);
  EXPECT_EQ(rect.top, (height - 100) / 2);
  DestroyWindow(window);
  DestroyWindow(owner);
}

// The updater may be started minimised: its dialogs then stand where its window will be when
// restored, not on the icon.
TEST(CenterOnOwner, AMinimisedOwnerByItsNormalRectangle) {
  HWND owner = popup(300, 200, 400, 300);
  HWND window = popup(0, 0, 200, 100);
  ASSERT_TRUE(owner && window);
  ShowWindow(owner, SW_SHOWMINNOACTIVE);
  ASSERT_TRUE(IsIconic(owner));
  center_on_owner(window, owner);
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 300 + (400 - 200) / 2);
  EXPECT_EQ(rect.top, 200 + (300 - 100) / 2);
  DestroyWindow(window);
  DestroyWindow(owner);
}

TEST(CenterOnScreen, CentresWithoutClamping) {
  int width, height;
  screen(&width, &height);
  HWND window = popup(0, 0, 480, 320);
  ASSERT_NE(window, nullptr);
  center_on_screen(window);
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, (width - 480) / 2);
  EXPECT_EQ(rect.top, (height - 320) / 2);
  SetWindowPos(window, nullptr, 0, 0, width + 101, 100, SWP_NOZORDER | SWP_NOMOVE);
  center_on_screen(window);
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, -101 / 2);  // -50: a window wider than the screen starts left of it
  DestroyWindow(window);
}

TEST(ConfirmTemplate, FirstSetKeyDecides) {
  const struct {
    const char* description;
    const char* template_name;
  } cases[] = {
      {"", "STARTMES"},
      {"SAVEISSAFE 0\nDELCONFIG 0\nDELSAVE 0\n", "STARTMES"},  // 0 counts as absent
      {"DELSAVE 1\n", "STARTMES2"},
      {"DELCONFIG 1\n", "STARTMES2"},
      {"DELCONFIG 0\nDELSAVE 2\n", "STARTMES2"},
      {"SAVEISSAFE 1\nDELSAVE 1\n", "STARTMES3"},
      {"DELCONFIG 1\nSAVEISSAFE 1\n", "STARTMES3"},
  };
  for (const auto& c : cases) {
    load_description(c.description);
    EXPECT_STREQ(confirm_template(), c.template_name) << c.description;
  }
}

TEST(ConfirmText, NameIsPlacedUnchangedAndALongOneIsCutBetweenCharacters) {
  set_confirm_text("ソフト表示 Ver.1");
  EXPECT_STREQ(confirm_text(), "「ソフト表示 Ver.1」のアップデートを開始します。");
  std::string tail = "」のアップデートを開始します。";
  for (const char* unit : {"表", "a"}) {
    std::string name;
    while (name.size() < 400) name += unit;
    set_confirm_text(name.c_str());
    std::string text = confirm_text();
    SCOPED_TRACE(unit);
    EXPECT_LE(text.size(), (size_t)CONFIRM_TEXT_SIZE - 1);
    ASSERT_GT(text.size(), tail.size() + 200);
    EXPECT_EQ(text.compare(text.size() - tail.size(), tail.size(), tail), 0);
    std::string kept = text.substr(2, text.size() - 2 - tail.size());  // after "「"
    EXPECT_EQ(kept.size() % strlen(unit), 0u);
    EXPECT_EQ(name.compare(0, kept.size(), kept), 0);
  }
}

TEST(ConfirmDialog, ShowsTheApplicationNameInJapanese) {
  load_description("APPTITLE x\n");
  User user(PRESS, IDOK);
  EXPECT_EQ(confirm_update("ソフト表示の十ポ"), IDOK);
  const Seen& seen = user.seen();
  ASSERT_TRUE(seen.found);
  EXPECT_STREQ(seen.box.caption.sjis, "アップデート確認");
  EXPECT_STREQ(seen.line.sjis, "「ソフト表示の十ポ」のアップデートを開始します。");
  EXPECT_STREQ(seen.line.wide, L"「ソフト表示の十ポ」のアップデートを開始します。");
}

TEST(ConfirmDialog, ShowsTheChosenTemplateAndEndsWithTheAnswer) {
  const struct {
    const char* description;
    const wchar_t* last_text;  // the text that tells the templates apart
    Action action;
    int button;  // pressed, and the result
  } cases[] = {
      {"", L"アップデートを行うと、セーブデータは使用できなくなります。\n\n"
           L"[OK]を押すとアップデートを開始します。", PRESS, IDCANCEL},
      {"DELCONFIG 1\n", L"アップデートを行うと、セーブデータは削除されます。\n\n"
                        L"[OK]を押すとアップデートを開始します。", PRESS, IDOK},
      {"SAVEISSAFE 1\nDELSAVE 1\n", L"[OK]を押すとアップデートを開始します。", ENTER, IDCANCEL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.description);
    load_description(c.description);
    User user(c.action, c.button);
    EXPECT_EQ(confirm_update("名前"), c.button);
    const Seen& seen = user.seen();
    ASSERT_TRUE(seen.found);
    ASSERT_GE(seen.box.text_count, 2);
    EXPECT_STREQ(seen.box.texts[seen.box.text_count - 1].wide, c.last_text);
    EXPECT_STREQ(seen.line.sjis, "「名前」のアップデートを開始します。");
  }
}

TEST(RunDialog, EnterEscapeAndTheCloseBoxGiveCancelWhereCancelIsTheDefault) {
  const char* names[] = {"STARTMES", "STARTMES2", "STARTMES3", "DRIVENOTREADY", "MOREDISKFREE"};
  for (const char* name : names) {
    for (Action action : {ENTER, ESCAPE}) {
      SCOPED_TRACE(std::string(name) + (action == ENTER ? " Enter" : " Esc"));
      User user(action);
      EXPECT_EQ(run_dialog(name), IDCANCEL);
      EXPECT_TRUE(user.seen().found);
    }
  }
  User closing(CLOSE_BOX);
  EXPECT_EQ(run_dialog("DRIVENOTREADY"), IDCANCEL);
  // "MINIOK" has no default button: Enter presses the focused OK; Esc still cancels.
  User enter(ENTER);
  EXPECT_EQ(run_dialog("MINIOK"), IDOK);
  User escape(ESCAPE);
  EXPECT_EQ(run_dialog("MINIOK"), IDCANCEL);
}

TEST(RunDialog, GivesThePressedButtonOrMinusOne) {
  const struct {
    const char* name;
    int button;
    const wchar_t* caption;
  } cases[] = {
      {"DRIVENOTREADY", IDOK, L"ドライブ状態の確認"},
      {"DRIVENOTREADY", IDCANCEL, L"ドライブ状態の確認"},
      {"MOREDISKFREE", IDCANCEL, L"ディスク容量の確認"},
      {"MINIOK", IDOK, L"アップデート終了"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    User user(PRESS, c.button);
    EXPECT_EQ(run_dialog(c.name), c.button);
    EXPECT_STREQ(user.seen().box.caption.wide, c.caption);
  }
  EXPECT_EQ(run_dialog("NOSUCHDIALOG"), -1);
  EXPECT_EQ(run_dialog("\x81"), -1);  // not a valid name
}

TEST(RunDialog, IsOwnedByTheActiveWindowAndCentredOnIt) {
  HWND owner = popup(300, 200, 500, 360);
  ASSERT_NE(owner, nullptr);
  SetForegroundWindow(owner);
  SetActiveWindow(owner);
  ASSERT_EQ(GetActiveWindow(), owner);
  RECT owner_rect;
  GetWindowRect(owner, &owner_rect);
  User user(PRESS, IDOK);
  EXPECT_EQ(run_dialog("MINIOK"), IDOK);
  const Seen& seen = user.seen();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.box.owner, owner);
  int w = seen.rect.right - seen.rect.left, h = seen.rect.bottom - seen.rect.top;
  EXPECT_EQ(seen.rect.left, owner_rect.left + (owner_rect.right - owner_rect.left - w) / 2);
  EXPECT_EQ(seen.rect.top, owner_rect.top + (owner_rect.bottom - owner_rect.top - h) / 2);
  DestroyWindow(owner);
}

TEST(RunDialog, WithoutAnActiveWindowAppearsInTheMiddleOfTheScreen) {
  ASSERT_EQ(GetActiveWindow(), nullptr);
  int width, height;
  screen(&width, &height);
  User user(PRESS, IDOK);
  EXPECT_EQ(run_dialog("DRIVENOTREADY"), IDOK);
  const Seen& seen = user.seen();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.box.owner, nullptr);
  int w = seen.rect.right - seen.rect.left, h = seen.rect.bottom - seen.rect.top;
  EXPECT_EQ(seen.rect.left, (width - w) / 2);
  EXPECT_EQ(seen.rect.top, (height - h) / 2);
}

}  // namespace
