// COM for the shell call that opens the read-me: initialised at start-up, released by the
// shutdown chain.
#include <objbase.h>
#include "app_window.h"

void com_start(void) {
  CoInitialize(nullptr);  // the result does not matter: the shell works either way
  add_system_end(com_system_end);
}

void com_system_end(void) {
  CoUninitialize();
  remove_system_end(com_system_end);
}
