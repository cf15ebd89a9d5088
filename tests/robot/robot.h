// The test robot: finds the dialogs and message boxes (window class "#32770") of a process,
// reads their caption and texts, and presses their buttons as a user would. It works across
// processes (a helper driving updater.exe) and in process, where a background thread answers
// the boxes the code under test shows on the UI thread. Windows only; plain C interface.
#pragma once
#include <windows.h>

enum {
  ROBOT_TEXT_CHARS = 512,   // UTF-16 characters kept per text, terminator included
  ROBOT_TEXT_BYTES = 1024,  // the same text in cp932
  ROBOT_MAX_TEXTS = 8,      // static texts kept per box
  ROBOT_MAX_BUTTONS = 8,    // button ids kept per box
  ROBOT_MAX_RECORDS = 16    // boxes the answering thread records
};

// The icon a box shows, told by the standard icons of the system.
enum RobotIcon {
  ROBOT_ICON_NONE,
  ROBOT_ICON_ERROR,        // MB_ICONERROR / MB_ICONHAND
  ROBOT_ICON_WARNING,      // MB_ICONWARNING
  ROBOT_ICON_QUESTION,     // MB_ICONQUESTION
  ROBOT_ICON_INFORMATION,  // MB_ICONINFORMATION
  ROBOT_ICON_OTHER         // an icon that is none of these (or of another process)
};

// One text in both forms: `wide` as read, `sjis` its cp932 bytes (empty when a character has
// no cp932 form).
struct RobotText {
  wchar_t wide[ROBOT_TEXT_CHARS];
  char sjis[ROBOT_TEXT_BYTES];
};

// What the robot saw of a box.
struct RobotBox {
  HWND hwnd;
  HWND owner;  // the window that owns the box (null when none)
  DWORD process_id;
  RobotText caption;
  int text_count;                     // static controls with a non-empty text, in window order
  RobotText texts[ROBOT_MAX_TEXTS];   // (for a message box: its message)
  int text_ids[ROBOT_MAX_TEXTS];      // their control ids
  int button_count;                   // visible buttons, in window order
  int button_ids[ROBOT_MAX_BUTTONS];  // (message box: IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7 ...)
  RobotIcon icon;
  int pressed;  // the button the answering thread pressed; 0 when only read
};

// Waits up to `timeout_ms` for a visible "#32770" window of process `process_id` (0: of any
// process) and returns it; null on timeout. `skip` (may be null) is never returned, so a box
// just answered is not taken again while it closes.
HWND robot_find_box(DWORD process_id, HWND skip, int timeout_ms);

// Waits up to `timeout_ms` until `box` is no longer a visible window. 0 when gone, -1 timeout.
int robot_wait_gone(HWND box, int timeout_ms);

// Reads caption, static texts, buttons and icon of `box` into `out` (pressed = 0).
// 0 on success, -1 when `box` is not a window.
int robot_read_box(HWND box, RobotBox* out);

// Reads the text of control `id` of `box`. 0 on success, -1 when there is no such control.
int robot_control_text(HWND box, int id, RobotText* out);

// Presses button `id` of `box` as a click (BM_CLICK). 0 when sent, -1 when there is no such
// button or the box did not answer within 5 s.
int robot_press(HWND box, int id);
// Posts WM_COMMAND (id, BN_CLICKED) to `box`, as the button itself would. 0 when posted.
int robot_command(HWND box, int id);

// In-process answering: a background thread answers the next `count` boxes of this process,
// pressing buttons[0], buttons[1] ... in turn, and records each box before pressing. It gives
// up when a box does not appear within `timeout_ms`. -1 when a thread is still running or
// count is out of range (1..ROBOT_MAX_RECORDS), else 0. The records of the previous run are
// dropped.
int robot_start(const int* buttons, int count, int timeout_ms);
// Waits up to `timeout_ms` for the thread to finish. Returns the number of boxes it answered,
// or -1 when it is still running.
int robot_wait(int timeout_ms);
// The boxes answered by the last run, in order (null past the end). Valid after robot_wait.
int robot_record_count(void);
const RobotBox* robot_record(int index);
