// The in-process robot: a background thread that answers the boxes the UI thread shows, from
// a script of button ids, and records what it saw.
#include "robot.h"

enum { GONE_TIMEOUT_MS = 10000 };

static struct {
  HANDLE thread;                     // the running or finished thread; null before the first run
  int buttons[ROBOT_MAX_RECORDS];    // the script
  int count;                         // boxes to answer
  int timeout_ms;                    // wait for each box
  RobotBox records[ROBOT_MAX_RECORDS];
  volatile LONG answered;            // records filled so far
} robot;

static DWORD WINAPI answer_boxes(LPVOID) {
  DWORD self = GetCurrentProcessId();
  HWND last = nullptr;
  for (int i = 0; i < robot.count; i++) {
    HWND box = robot_find_box(self, last, robot.timeout_ms);
    if (!box) break;
    RobotBox* record = &robot.records[i];
    robot_read_box(box, record);
    record->pressed = robot.buttons[i];
    // A box whose button cannot be clicked still gets the command, so the test goes on.
    if (robot_press(box, robot.buttons[i]) != 0) robot_command(box, robot.buttons[i]);
    InterlockedIncrement(&robot.answered);
    robot_wait_gone(box, GONE_TIMEOUT_MS);
    last = box;
  }
  return 0;
}

int robot_start(const int* buttons, int count, int timeout_ms) {
  if (count < 1 || count > ROBOT_MAX_RECORDS) return -1;
  if (robot.thread) {
    if (WaitForSingleObject(robot.thread, 0) != WAIT_OBJECT_0) return -1;
    CloseHandle(robot.thread);
    robot.thread = nullptr;
  }
  for (int i = 0; i < count; i++) robot.buttons[i] = buttons[i];
  robot.count = count;
  robot.timeout_ms = timeout_ms;
  robot.answered = 0;
  robot.thread = CreateThread(nullptr, 0, answer_boxes, nullptr, 0, nullptr);
  return robot.thread ? 0 : -1;
}

int robot_wait(int timeout_ms) {
  if (robot.thread && WaitForSingleObject(robot.thread, (DWORD)timeout_ms) != WAIT_OBJECT_0)
    return -1;
  return (int)robot.answered;
}

int robot_record_count(void) { return (int)robot.answered; }

const RobotBox* robot_record(int index) {
  if (index < 0 || index >= (int)robot.answered) return nullptr;
  return &robot.records[index];
}
