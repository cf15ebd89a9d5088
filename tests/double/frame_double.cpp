// The frame services for tests without a window.
#include "frame_double.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

static FrameDouble g_double;
static SystemEndProc g_chain[SYSTEM_END_SLOTS];

FrameDouble* frame_double(void) { return &g_double; }

void frame_double_reset(void) {
  memset(&g_double, 0, sizeof g_double);
  memset(g_chain, 0, sizeof g_chain);
}

void frame_double_answer(int answer) {
  if (g_double.confirm_answer_count < DOUBLE_MAX_BOXES)
    g_double.confirm_answers[g_double.confirm_answer_count++] = answer;
}

static void record(BoxKind kind, const char* text) {
  if (g_double.box_count < DOUBLE_MAX_BOXES) {
    DoubleBox* box = &g_double.boxes[g_double.box_count];
    box->kind = kind;
    snprintf(box->text, sizeof box->text, "%s", text);
  }
  ++g_double.box_count;
}

void error_box(const char* text) { record(BOX_ERROR, text); }
void notice_box(const char* text) { record(BOX_NOTICE, text); }

bool confirm_box(const char* text) {
  record(BOX_CONFIRM, text);
  int index = g_double.questions++;
  return index < g_double.confirm_answer_count && g_double.confirm_answers[index] == 1;
}

void add_system_end(SystemEndProc proc) {
  remove_system_end(proc);
  for (int i = 0; i < SYSTEM_END_SLOTS; ++i) {
    if (!g_chain[i]) {
      g_chain[i] = proc;
      return;
    }
  }
  notice_box("add_system_end OverFlow!!");
}

void remove_system_end(SystemEndProc proc) {
  int out = 0;
  bool removed = false;
  for (int i = 0; i < SYSTEM_END_SLOTS; ++i) {
    if (g_chain[i] == proc && !removed) {
      removed = true;
      continue;
    }
    g_chain[out++] = g_chain[i];
  }
  while (out < SYSTEM_END_SLOTS) g_chain[out++] = nullptr;
}

void run_system_end(void) {
  for (int i = SYSTEM_END_SLOTS - 1; i >= 0; --i) {
    if (g_chain[i]) g_chain[i]();
  }
}

void app_exit(int code) {
  run_system_end();
  if (g_double.print_exit) {
    static const char* const kinds[] = {"error", "notice", "confirm"};
    int kept = g_double.box_count < DOUBLE_MAX_BOXES ? g_double.box_count : DOUBLE_MAX_BOXES;
    for (int i = 0; i < kept; ++i)
      fprintf(stderr, "%s box: %s\n", kinds[g_double.boxes[i].kind], g_double.boxes[i].text);
    fprintf(stderr, "app_exit(%d)\n", code);
  }
  fflush(nullptr);
  exit(code);
}

void pump_messages(void) { ++g_double.pumps; }

void* mem_alloc(size_t size) {
  ++g_double.allocations;
  void* block = g_double.allocations == g_double.fail_allocation ? nullptr : malloc(size ? size : 1);
  if (!block) {
    error_box("メモリーが不足しています 実行を中止します");
    app_exit(1);
  }
  return block;
}

void mem_free(void* block) { free(block); }
