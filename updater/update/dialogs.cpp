// The modal dialogs of the updater and the centring of windows. Template names and texts are
// cp932 and reach Windows through the wide functions, whatever the ANSI code page.
#include "dialogs.h"
#include <cstdio>
#include <cstring>
#include "env_table.h"
#include "sjis.h"
#include "wide_text.h"

enum { TEMPLATE_NAME_CHARS = 64 };

static struct {
  char text[CONFIRM_TEXT_SIZE];  // the confirmation line, between confirm_update and the
                                 // dialog's WM_INITDIALOG
} confirm;

static const char CONFIRM_FORMAT[] = "「%.*s」のアップデートを開始します。";

// The screen size as the window's device context reports it.
static void screen_size(HWND window, int* width, int* height) {
  HDC dc = GetDC(window);
  *width = GetDeviceCaps(dc, HORZRES);
  *height = GetDeviceCaps(dc, VERTRES);
  ReleaseDC(window, dc);
}

POINT centered_position(const RECT* window, const RECT* owner, int screen_width,
                        int screen_height) {
  int w = window->right - window->left;
  int h = window->bottom - window->top;
  POINT at;
  at.x = owner->left + (owner->right - owner->left - w) / 2;
  if (at.x < 0)
    at.x = 0;
  else if (at.x + w > screen_width)
    at.x = screen_width - w;
  at.y = owner->top + (owner->bottom - owner->top - h) / 2;
  if (at.y < 0)
    at.y = 0;
  else if (at.y + h > screen_height)
    at.y = screen_height - h;
  return at;
}

void center_on_owner(HWND window, HWND owner) {
  RECT rect, owner_rect;
  int width, height;
  if (!GetWindowRect(window, &rect)) return;
  screen_size(window, &width, &height);
  // A dialog opened while no window was active has no owner: the screen stands in for it.
  if (!owner || !GetWindowRect(owner, &owner_rect)) SetRect(&owner_rect, 0, 0, width, height);
  // A minimised owner is its icon (or, on Windows, parked at -32000): the dialog goes where
  // the owner will be once restored.
  WINDOWPLACEMENT placement;
  placement.length = sizeof placement;
  if (owner && IsIconic(owner) && GetWindowPlacement(owner, &placement))
    owner_rect = placement.rcNormalPosition;
  POINT at = centered_position(&rect, &owner_rect, width, height);
  SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void center_on_screen(HWND window) {
  RECT rect;
  int width, height;
  if (!GetWindowRect(window, &rect)) return;
  screen_size(window, &width, &height);
  SetWindowPos(window, nullptr, (width - (rect.right - rect.left)) / 2,
               (height - (rect.bottom - rect.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// Shared by both procedures: centring at WM_INITDIALOG, any command ends the dialog.
static INT_PTR common_dialog_proc(HWND dialog, UINT msg, WPARAM wparam) {
  switch (msg) {
    case WM_INITDIALOG:
      center_on_owner(dialog, GetWindow(dialog, GW_OWNER));
      return TRUE;  // the system puts the focus on the first tab stop
    case WM_COMMAND:
      EndDialog(dialog, (INT_PTR)wparam);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK simple_dialog_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM) {
  return common_dialog_proc(dialog, msg, wparam);
}

INT_PTR CALLBACK confirm_dialog_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM) {
  INT_PTR result = common_dialog_proc(dialog, msg, wparam);
  if (msg == WM_INITDIALOG) {
    wchar_t text[CONFIRM_TEXT_SIZE];
    cp932_to_wide(confirm.text, text, CONFIRM_TEXT_SIZE, WIDE_TEXT);
    SetDlgItemTextW(dialog, CONFIRM_TEXT_ID, text);
  }
  return result;
}

// Opens the template `name` modally, owned by the active window and with its instance (the
// program's own when no window is active).
static int show_dialog(const char* name, DLGPROC proc) {
  wchar_t wide_name[TEMPLATE_NAME_CHARS];
  if (cp932_to_wide(name, wide_name, TEMPLATE_NAME_CHARS, WIDE_NAME) < 0) return -1;
  HWND owner = GetActiveWindow();
  HINSTANCE instance = owner ? (HINSTANCE)GetWindowLongPtrW(owner, GWLP_HINSTANCE) : nullptr;
  if (!instance) instance = GetModuleHandleW(nullptr);
  return (int)DialogBoxParamW(instance, wide_name, owner, proc, 0);
}

int run_dialog(const char* template_name) {
  return show_dialog(template_name, simple_dialog_proc);
}

void set_confirm_text(const char* app_name) {
  // Room for the name: the buffer less the sentence around it and the terminator.
  int room = CONFIRM_TEXT_SIZE - 1 - (int)(sizeof CONFIRM_FORMAT - 1 - strlen("%.*s"));
  int length = (int)sjis_head_length(app_name, (size_t)room);
  snprintf(confirm.text, sizeof confirm.text, CONFIRM_FORMAT, length, app_name);
}

const char* confirm_text(void) { return confirm.text; }

const char* confirm_template(void) {
  if (env_int0("SAVEISSAFE")) return "STARTMES3";
  if (env_int0("DELCONFIG") || env_int0("DELSAVE")) return "STARTMES2";
  return "STARTMES";
}

int confirm_update(const char* app_name) {
  set_confirm_text(app_name);
  return show_dialog(confirm_template(), confirm_dialog_proc);
}
