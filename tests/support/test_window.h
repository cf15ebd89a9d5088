// The main window for tests of parts that centre on it or post to it: made once per process
// (windows of one test program share it) and set as the frame's main window again for each test.
#pragma once
#include <windows.h>

HWND test_main_window(void);
