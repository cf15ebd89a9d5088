// The ShutdownChain and app_exit, the one way the updater ends: 20 shutdown callbacks kept
// packed in order of (latest) registration and run latest first, with the message queue
// pumped before each one, so the window stays alive while components release their objects.
#include <stdlib.h>
#include "frame.h"
#include "frame_exit.h"

static struct {
  SystemEndProc slots[SYSTEM_END_SLOTS];  // slots 0..n-1 in use, the rest null
  int initialised;                        // set by the first add_system_end
  int exiting;                            // app_exit has begun
} shutdown;

void add_system_end(SystemEndProc proc) {
  if (!shutdown.initialised) {
    for (int i = 0; i < SYSTEM_END_SLOTS; i++) shutdown.slots[i] = nullptr;
    shutdown.initialised = 1;
  }
  remove_system_end(proc);  // present already: it moves to the end
  for (int i = 0; i < SYSTEM_END_SLOTS; i++) {
    if (!shutdown.slots[i]) {
      shutdown.slots[i] = proc;
      return;
    }
  }
  notice_box("add_system_end OverFlow!!");
}

void remove_system_end(SystemEndProc proc) {
  for (int i = 0; i < SYSTEM_END_SLOTS; i++) {
    if (shutdown.slots[i] == proc) {
      shutdown.slots[i] = nullptr;
      break;
    }
  }
  // Close the hole; the chain never has more than one.
  int used = 0;
  for (int i = 0; i < SYSTEM_END_SLOTS; i++)
    if (shutdown.slots[i]) shutdown.slots[used++] = shutdown.slots[i];
  for (int i = used; i < SYSTEM_END_SLOTS; i++) shutdown.slots[i] = nullptr;
}

// A callback that removes itself only moves entries that already ran, so none is skipped or
// run twice.
void run_system_end(void) {
  for (int i = SYSTEM_END_SLOTS - 1; i >= 0; i--) {
    pump_messages();
    if (shutdown.slots[i]) shutdown.slots[i]();
  }
  pump_messages();
}

int exit_in_progress(void) { return shutdown.exiting; }

void app_exit(int code) {
  shutdown.exiting = 1;
  run_system_end();
  exit(code);
}
