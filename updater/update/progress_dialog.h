// The modeless progress dialog "COPYING" shown while a file is copied: the name of the file,
// a bar for its progress, a looping animation and a Cancel button that sets the cancel flag
// the copy loop reads before every chunk. One dialog at a time; Win32 only.
#pragma once
#include <windows.h>

enum {
  PROGRESS_ANIMATION_ID = 1020,  // SysAnimate32 playing "FILECOPY_AVI"
  PROGRESS_NAME_ID = 1012,       // the name of the file being copied
  PROGRESS_FILE_BAR_ID = 1010,   // progress of the current file
  PROGRESS_TOTAL_BAR_ID = 1019,  // overall progress (no such control in "COPYING")
  PROGRESS_UNIT_SHIFT = 15       // bar positions count units of 32768 bytes
};

// Closes a dialog left open, then creates "COPYING" owned by the main window and pumps
// messages once so that it shows at once. 1 when the dialog was created, 0 when not.
int open_progress(void);
// Destroys the open dialog and pumps messages once: 0. 1 when none was open.
int close_progress(void);
// The dialog procedure of "COPYING".
INT_PTR CALLBACK progress_dialog_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);

// The open dialog, or null.
HWND progress_window(void);

// The cancel flag: cleared when a copy starts, set by the Cancel button.
void progress_clear_cancel(void);
int progress_cancelled(void);

// Shows the file about to be copied (cp932 path, as passed) and sets the file bar's range to
// the units of `size` at position 0.
void progress_show_file(const char* source, unsigned long long size);
// Adds `written` bytes to the running total, moves the file bar to the units of `copied`
// (when that reaches another pixel column of the bar, and at the end of the file) and the
// overall bar to the units of the running total.
void progress_show_written(unsigned long long copied, unsigned long long written);
// Bytes written by all copies since the program started; never reset.
unsigned long long progress_running_total(void);

// A byte count in bar units (32768 bytes), clamped to the largest int so that files of any
// size keep the bars in range.
int progress_units(unsigned long long bytes);
