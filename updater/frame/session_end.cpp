// The end of the Windows session (logoff, shutdown, a restart that closes programs): the
// system ends the process once WM_ENDSESSION has been answered, without the shutdown chain.
// The updater leaves through app_exit before that, so that every component, a copy in
// progress included, releases what it holds.
#include "app_window.h"
#include "frame_exit.h"

int session_end_proc(HWND, UINT msg, WPARAM wparam, LPARAM) {
  if (msg == WM_QUERYENDSESSION) {
    // The updater never holds the session up. Nothing is undone yet: another program may
    // still call the end off.
    set_wnd_proc_result(TRUE);
    return 1;
  }
  // The end is certain. An exit already under way goes on as it is.
  if (msg == WM_ENDSESSION && wparam && !exit_in_progress()) app_exit(0);
  return 0;
}

void register_session_end(void) { AddWndPorc(session_end_proc); }
