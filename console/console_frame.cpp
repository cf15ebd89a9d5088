// The frame's boxes and message pump for console programs: a box is a line on stderr, a
// question is answered Cancel (a tool never waits for a key), and there are no messages to
// pump. Allocation and the shutdown chain with app_exit are the updater's own files.
#include <cstdio>
#include "console_text.h"
#include "frame.h"

static void print_box(const char* label, const char* text) {
  console_print(stderr, "%s: ", label);
  console_write(stderr, text);
  console_write(stderr, "\n");
}

void error_box(const char* text) { print_box("error", text); }

void notice_box(const char* text) { print_box("notice", text); }

bool confirm_box(const char* text) {
  print_box("question", text);
  console_write(stderr, "(answered Cancel)\n");
  return false;
}

void pump_messages(void) {}
