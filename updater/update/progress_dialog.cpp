// The progress dialog "COPYING": created modeless around each copied pair, fed by the copy
// loop with the file's name and the bytes written, and holding the cancel flag that its
// Cancel button sets. Texts go to Windows through the wide-character functions.
#include "progress_dialog.h"
#include <commctrl.h>
#include <limits.h>
#include "app_window.h"
#include "dialogs.h"
#include "wide_text.h"

enum { NAME_CHARS = 300 };  // a 259-byte path gives at most 259 characters

static struct {
  HWND dialog;                      // the open "COPYING", null when closed
  HWND animation;                   // its control 1020, taken at WM_INITDIALOG
  volatile int cancel;              // 1 once Cancel was pressed during the current copy
  unsigned long long running_total; // bytes written by every copy of this run
  int bar_range;                    // units of the file being copied
  int bar_width;                    // pixels of the file bar's client area
  int bar_pixel;                    // the pixel column the bar was last moved to
} progress;

// The pixel column that `units` of the current file reach on the file bar.
static int bar_pixel_of(int units) {
  return progress.bar_range ? (int)((long long)units * progress.bar_width / progress.bar_range) : 0;
}

int progress_units(unsigned long long bytes) {
  unsigned long long units = bytes >> PROGRESS_UNIT_SHIFT;
  return units > (unsigned long long)INT_MAX ? INT_MAX : (int)units;
}

int open_progress(void) {
  close_progress();
  // The bar and the animation are common controls; make sure their classes exist.
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS | ICC_ANIMATE_CLASS};
  InitCommonControlsEx(&classes);
  HWND owner = main_window();
  HINSTANCE instance = (HINSTANCE)GetWindowLongPtrW(owner, GWLP_HINSTANCE);
  progress.dialog = CreateDialogParamW(instance, L"COPYING", owner, progress_dialog_proc, 0);
  if (!progress.dialog) return 0;
  pump_messages();
  return 1;
}

int close_progress(void) {
  if (!progress.dialog) return 1;
  HWND dialog = progress.dialog;
  progress.dialog = nullptr;
  progress.animation = nullptr;
  DestroyWindow(dialog);
  pump_messages();
  return 0;
}

INT_PTR CALLBACK progress_dialog_proc(HWND dialog, UINT msg, WPARAM wparam, LPARAM) {
  if (msg == WM_INITDIALOG) {
    center_on_owner(dialog, GetWindow(dialog, GW_OWNER));
    SetDlgItemTextW(dialog, PROGRESS_NAME_ID, L"");
    static const int bars[] = {PROGRESS_FILE_BAR_ID, PROGRESS_TOTAL_BAR_ID};
    for (int id : bars) {
      SendDlgItemMessageW(dialog, id, PBM_SETRANGE, 0, MAKELPARAM(0, 1));
      SendDlgItemMessageW(dialog, id, PBM_SETPOS, 0, 0);
    }
    progress.animation = GetDlgItem(dialog, PROGRESS_ANIMATION_ID);
    SendMessageW(progress.animation, ACM_OPENW, 0, (LPARAM)L"FILECOPY_AVI");
    // Endless repeats, from the first frame to the last.
    SendMessageW(progress.animation, ACM_PLAY, (WPARAM)-1, MAKELPARAM(0, 0xFFFF));
    ShowWindow(progress.animation, SW_SHOW);
    return TRUE;
  }
  if (msg == WM_COMMAND && wparam == IDCANCEL) {
    progress.cancel = 1;
    SendMessageW(progress.animation, ACM_STOP, 0, 0);
  }
  return FALSE;
}

HWND progress_window(void) { return progress.dialog; }

void progress_clear_cancel(void) { progress.cancel = 0; }

int progress_cancelled(void) { return progress.cancel; }

void progress_show_file(const char* source, unsigned long long size) {
  if (!progress.dialog) return;
  wchar_t name[NAME_CHARS];
  cp932_to_wide(source, name, NAME_CHARS, WIDE_TEXT);  // empty when too long
  SetDlgItemTextW(progress.dialog, PROGRESS_NAME_ID, name);
  // The 32-bit range, so that the bar still moves for files of 2 GiB and more.
  progress.bar_range = progress_units(size);
  SendDlgItemMessageW(progress.dialog, PROGRESS_FILE_BAR_ID, PBM_SETRANGE32, 0,
                      progress.bar_range);
  SendDlgItemMessageW(progress.dialog, PROGRESS_FILE_BAR_ID, PBM_SETPOS, 0, 0);
  RECT bar = {};
  GetClientRect(GetDlgItem(progress.dialog, PROGRESS_FILE_BAR_ID), &bar);
  progress.bar_width = bar.right;
  progress.bar_pixel = 0;
}

void progress_show_written(unsigned long long copied, unsigned long long written) {
  progress.running_total += written;
  if (!progress.dialog) return;
  // The bar repaints at once on every move, which costs far more than a chunk's copy; it is
  // moved only when it reaches another pixel column, and at the end of the file.
  int units = progress_units(copied);
  int pixel = bar_pixel_of(units);
  if (pixel != progress.bar_pixel || units == progress.bar_range) {
    SendDlgItemMessageW(progress.dialog, PROGRESS_FILE_BAR_ID, PBM_SETPOS, (WPARAM)units, 0);
    progress.bar_pixel = pixel;
  }
  SendDlgItemMessageW(progress.dialog, PROGRESS_TOTAL_BAR_ID, PBM_SETPOS,
                      (WPARAM)progress_units(progress.running_total), 0);
}

unsigned long long progress_running_total(void) { return progress.running_total; }
