// Shared between the exit path and the pump. Private to the frame.
#pragma once

// 1 from the start of app_exit until the process ends.
int exit_in_progress(void);
