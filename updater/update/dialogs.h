// The updater's modal dialogs: the generic runner for the templates among the program's
// resources, the update confirmation with the application's name, and the placement of
// dialogs and the main window (centred on the owner, or on the screen). Windows only.
#pragma once
#include <windows.h>

enum {
  CONFIRM_TEXT_SIZE = 256,  // the confirmation line, terminator included
  CONFIRM_TEXT_ID = 1023    // the control of the confirmation templates that shows it
};

// Shows the modal dialog of the template `template_name` (cp932), owned by the thread's
// active window, and returns the value it ended with: the id of the pressed button (also
// 2 for Esc and the close box), or -1 when the template cannot be loaded or the dialog not
// created. The instance comes from the active window; without one, the program's own.
int run_dialog(const char* template_name);

// Procedure of run_dialog: centres the dialog on its owner at WM_INITDIALOG and ends it with
// the whole wParam of any WM_COMMAND.
INT_PTR CALLBACK simple_dialog_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);

// Asks whether the update of `app_name` (cp932) may start: "STARTMES3" when SAVEISSAFE is
// set in the update description, else "STARTMES2" when DELCONFIG or DELSAVE is, else
// "STARTMES". Returns as run_dialog (1 for OK, 2 for ｷｬﾝｾﾙ, -1 on failure).
int confirm_update(const char* app_name);

// The template confirm_update chooses for the loaded update description.
const char* confirm_template(void);

// Formats "「<app_name>」のアップデートを開始します。" into the confirmation text buffer.
// A name too long for the 256 bytes is cut at a character boundary, so that the sentence
// stays whole. confirm_text gives the buffer.
void set_confirm_text(const char* app_name);
const char* confirm_text(void);

// As simple_dialog_proc, and at WM_INITDIALOG shows the confirmation text in control 1023.
INT_PTR CALLBACK confirm_dialog_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);

// The top-left corner that centres a window of rectangle `window` on the rectangle `owner`,
// kept on a screen of the given size: a coordinate below 0 becomes 0; otherwise one whose far
// edge passes the screen's is moved back so that the edges meet. Halves truncate toward zero.
POINT centered_position(const RECT* window, const RECT* owner, int screen_width,
                        int screen_height);

// Moves `window` (size and z-order kept) to centred_position on `owner`; with no owner (a
// dialog opened while no window was active) on the whole screen.
void center_on_owner(HWND window, HWND owner);

// Moves `window` to the middle of the screen, without clamping: a window larger than the
// screen gets a negative position.
void center_on_screen(HWND window);
