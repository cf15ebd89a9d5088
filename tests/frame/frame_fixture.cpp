// Shared helpers of the frame tests.
#include "frame_fixture.h"
#include <gtest/gtest.h>
#include <vector>

std::string frame_log;

HWND test_main_window(void) {
  static HWND created = nullptr;
  if (!created) created = create_main_window(GetModuleHandleW(nullptr), nullptr);
  set_main_window(created);
  set_main_window_title("");
  return created;
}

void answer_boxes(std::initializer_list<int> buttons) {
  std::vector<int> ids(buttons);
  ASSERT_EQ(robot_start(ids.data(), (int)ids.size(), BOX_TIMEOUT_MS), 0);
}

int answered_boxes(void) { return robot_wait(BOX_TIMEOUT_MS * 2); }

void watch_for_box(void) {
  int ok = IDOK;
  ASSERT_EQ(robot_start(&ok, 1, NO_BOX_MS), 0);
}

bool no_box_came(void) { return robot_wait(BOX_TIMEOUT_MS) == 0; }

std::string hex_of(const char* text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
    hex += digits[*p >> 4];
    hex += digits[*p & 15];
  }
  return hex;
}
