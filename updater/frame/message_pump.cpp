// pump_messages, the frame's only message loop outside modal dialogs: dispatches what is
// queued without waiting, and after 256 calls in a row that found nothing runs the idle chain.
#include "app_window.h"
#include "frame_exit.h"

static struct {
  IdleProc slots[IDLE_PROC_SLOTS];  // null = empty
  int empty_pumps;                  // consecutive pump_messages calls that found no message
} idle;

int add_idle_proc(IdleProc proc) {
  for (int i = 0; i < IDLE_PROC_SLOTS; i++)
    if (idle.slots[i] == proc) return 1;
  for (int i = 0; i < IDLE_PROC_SLOTS; i++) {
    if (!idle.slots[i]) {
      idle.slots[i] = proc;
      return 0;
    }
  }
  return 1;
}

int remove_idle_proc(IdleProc proc) {
  for (int i = 0; i < IDLE_PROC_SLOTS; i++) {
    if (idle.slots[i] == proc) {
      idle.slots[i] = nullptr;
      return 0;
    }
  }
  return 1;
}

void pump_messages(void) {
  MSG msg;
  int taken = 0;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    taken = 1;
    if (msg.message == WM_QUIT) {
      // The quit code becomes the exit code. During the exit itself a further quit message
      // must not replace the code the exit began with.
      if (!exit_in_progress()) app_exit((int)msg.wParam);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (taken) {
    idle.empty_pumps = 0;
    return;
  }
  if (++idle.empty_pumps <= IDLE_PUMP_LIMIT) return;
  for (int i = 0; i < IDLE_PROC_SLOTS; i++)
    if (idle.slots[i]) idle.slots[i]();
  idle.empty_pumps = 0;
}
