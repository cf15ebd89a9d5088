// A test double of the frame's services: message boxes are recorded (and confirm questions
// answered from a script), the shutdown chain is a plain list, allocation can be made to
// fail, and app_exit ends the process as the real one does, so exit codes are checked in
// death tests.
#pragma once
#include "frame.h"

enum BoxKind { BOX_ERROR, BOX_NOTICE, BOX_CONFIRM };

enum { DOUBLE_MAX_BOXES = 16, DOUBLE_BOX_TEXT = 512 };

struct DoubleBox {
  BoxKind kind;
  char text[DOUBLE_BOX_TEXT];  // cut to fit
};

struct FrameDouble {
  DoubleBox boxes[DOUBLE_MAX_BOXES];  // the first boxes shown, in order
  int box_count;                      // every box shown, also those not kept
  int confirm_answers[DOUBLE_MAX_BOXES];  // 1 OK, 0 Cancel, for the 1st, 2nd ... question
  int confirm_answer_count;               // questions beyond these are answered Cancel
  int questions;                          // confirm questions asked so far
  int allocations;    // mem_alloc calls so far
  int fail_allocation;  // the call number (1-based) that gets no memory; 0 never
  int pumps;          // pump_messages calls
  bool print_exit;    // app_exit prints the boxes kept ("error box: <text>") and
                      // "app_exit(<code>)" to stderr, after the shutdown chain ran
};

// The one double, cleared (shutdown chain included) by frame_double_reset().
FrameDouble* frame_double(void);
void frame_double_reset(void);

// Answers the next confirm questions: OK for each 1, Cancel for each 0.
void frame_double_answer(int answer);
