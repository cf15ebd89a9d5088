// What the frame tests share: one main window per test process, an event log that callbacks
// write to, and the robot answering the message boxes the frame shows.
#pragma once
#include <initializer_list>
#include <string>
#include "app_window.h"
#include "robot.h"

enum { BOX_TIMEOUT_MS = 30000, NO_BOX_MS = 500 };

// Creates the main window on first use (not shown), gives it an empty title and returns it.
HWND test_main_window(void);

// Events recorded by the test callbacks, in order.
extern std::string frame_log;

// Starts the robot on the next boxes, answering them with `buttons` in turn.
void answer_boxes(std::initializer_list<int> buttons);
// Waits for the robot and returns the number of boxes it answered.
int answered_boxes(void);
// Starts the robot on a box that should not come: it answers one with OK if it appears
// within NO_BOX_MS. no_box_came then waits and tells whether none came.
void watch_for_box(void);
bool no_box_came(void);
// The text of a cp932 literal as hex, for comparing texts in death-test output.
std::string hex_of(const char* text);
