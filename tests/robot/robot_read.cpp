// Reading a box and pressing its buttons. Texts are read with WM_GETTEXT, which Windows
// carries across threads and processes, with a timeout so a hung box cannot hang the robot.
#include <string.h>
#include <wchar.h>
#include "robot.h"
#include "wide_text.h"

enum { SEND_TIMEOUT_MS = 5000 };

static void read_text(HWND hwnd, RobotText* out) {
  DWORD_PTR copied = 0;
  out->wide[0] = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, ROBOT_TEXT_CHARS, (LPARAM)out->wide,
                           SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &copied))
    out->wide[0] = 0;
  out->wide[ROBOT_TEXT_CHARS - 1] = 0;
  wide_to_cp932(out->wide, out->sjis, ROBOT_TEXT_BYTES);
}

static RobotIcon icon_kind(HWND control) {
  DWORD_PTR icon = 0;
  SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &icon);
  if (!icon) return ROBOT_ICON_NONE;
  static const struct {
    LPCWSTR id;
    RobotIcon kind;
  } standard[] = {{(LPCWSTR)IDI_HAND, ROBOT_ICON_ERROR},
                  {(LPCWSTR)IDI_EXCLAMATION, ROBOT_ICON_WARNING},
                  {(LPCWSTR)IDI_QUESTION, ROBOT_ICON_QUESTION},
                  {(LPCWSTR)IDI_ASTERISK, ROBOT_ICON_INFORMATION}};
  for (const auto& s : standard)
    if ((HICON)icon == LoadIconW(nullptr, s.id)) return s.kind;
  return ROBOT_ICON_OTHER;
}

static BOOL CALLBACK read_control(HWND hwnd, LPARAM param) {
  RobotBox* box = (RobotBox*)param;
  if (GetParent(hwnd) != box->hwnd || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t name[32] = {};
  GetClassNameW(hwnd, name, 32);
  int id = GetDlgCtrlID(hwnd);
  LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  if (_wcsicmp(name, L"Button") == 0) {
    if (box->button_count < ROBOT_MAX_BUTTONS) box->button_ids[box->button_count++] = id;
  } else if (_wcsicmp(name, L"Static") == 0) {
    if ((style & SS_TYPEMASK) == SS_ICON) {
      if (box->icon == ROBOT_ICON_NONE) box->icon = icon_kind(hwnd);
    } else if (box->text_count < ROBOT_MAX_TEXTS) {
      RobotText* text = &box->texts[box->text_count];
      read_text(hwnd, text);
      if (text->wide[0]) box->text_ids[box->text_count++] = id;
    }
  }
  return TRUE;
}

int robot_read_box(HWND box, RobotBox* out) {
  memset(out, 0, sizeof *out);
  if (!IsWindow(box)) return -1;
  out->hwnd = box;
  out->owner = GetWindow(box, GW_OWNER);
  GetWindowThreadProcessId(box, &out->process_id);
  read_text(box, &out->caption);
  EnumChildWindows(box, read_control, (LPARAM)out);
  return 0;
}

int robot_control_text(HWND box, int id, RobotText* out) {
  out->wide[0] = 0;
  out->sjis[0] = 0;
  HWND control = GetDlgItem(box, id);
  if (!control) return -1;
  read_text(control, out);
  return 0;
}

int robot_press(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  if (!button) return -1;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &result))
    return -1;
  return 0;
}

int robot_command(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  return PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button) ? 0 : -1;
}
