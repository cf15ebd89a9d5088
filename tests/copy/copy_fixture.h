// What the copy tests share: a scratch folder per test below the working directory, files
// made and inspected through the wide-character functions with cp932 names, and a fault hook
// that counts the copier's system calls and fails or shortens a chosen one.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "file_copy.h"
#include "test_files.h"

// `size` bytes of a pattern that differs from chunk to chunk (seeded by `seed`).
std::string pattern(size_t size, unsigned seed);

// The fault hook's plan: which call (counted over all calls from 1) gets `fault`, and what to
// do at the Nth read.
struct FaultPlan {
  int fail_at = 0;               // 0: none
  CopyFault fault = COPY_FAIL;
  CopyCall only = COPY_CALL_REPLACE;  // with only_kind: count only calls of this kind
  bool only_kind = false;
  int cancel_at_read = 0;        // presses Cancel (through the dialog procedure) at this read
  int sleep_per_read_ms = 0;     // slows the copy down so a robot can act during it
  int quit_at_read = 0;          // posts a quit message (code 3) at this read
};
extern FaultPlan plan;
struct FaultCounts {
  int calls = 0;
  int reads = 0;
  int kind_calls = 0;
  HWND dialog_at_first_read = nullptr;  // progress_window() when the first chunk was read
};
extern FaultCounts counts;
CopyFault test_fault_hook(CopyCall call);

// A death test's child process works in its parent's scratch folder, named by this variable.
#define SCRATCH_VARIABLE "COPY_TESTS_SCRATCH"

class CopyTest : public ::testing::Test {
 public:
  void SetUp() override;
  void TearDown() override;
  // cp932 path of `name` in the scratch folder.
  std::string path(const std::string& name) const;
  // The shared file helpers (test_files.h) on names in the scratch folder.
  void write_file(const std::string& name, const std::string& data, DWORD attributes = 0,
                  int days = 0);
  FileState state(const std::string& name) const;
  // Names in the scratch folder (cp932), sorted; `sub` is a folder below it or empty.
  std::vector<std::string> listing(const std::string& sub = "") const;
  void make_folder(const std::string& name);

  std::string folder;  // cp932, relative to the working directory
};
