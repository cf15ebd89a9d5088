// Allocation that never returns null: when memory runs out the user is told and the program
// ends through app_exit with code 1.
#include <stdlib.h>
#include "frame.h"

void* mem_alloc(size_t size) {
  void* block = malloc(size ? size : 1);  // a run-time may answer malloc(0) with null
  if (!block) {
    error_box("メモリーが不足しています 実行を中止します");
    app_exit(1);
  }
  return block;
}

void mem_free(void* block) { free(block); }
