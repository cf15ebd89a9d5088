// An in-memory file system behind the pack tool's file operations, with switches that make
// the Nth call of an operation fail, so every failure path can be driven from a test.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>
#include "pack_io.h"

struct FakeFs {
  std::map<std::string, std::string> files;          // path -> contents
  std::map<std::string, std::string> after_measure;  // contents a file takes on its 2nd opening
  std::map<std::string, int64_t> size_override;      // what file_size reports instead
  std::string vanish_after_measure;                  // a file that cannot be opened a 2nd time
  std::map<std::string, int> opened;                 // open_read calls per path
  std::string console;                               // everything printed
  // Calls so far, and the call number (1-based) that fails; 0 never fails.
  int reads = 0, writes = 0, grows = 0, closes = 0;
  int fail_read = 0, fail_write = 0, fail_grow = 0, fail_close = 0;
  bool fail_create = false;
  int open_files = 0;  // handles not yet closed
  // The tag folder kept natively: the length of its stand-in at the start of the tag path
  // (0: none). A path passed with it is stored under kTagFolder + the rest of the path.
  size_t tag_folder_bytes = 0;
};

const char kTagFolder[] = "<tag folder>";

// The one fake file system, emptied by fake_reset().
FakeFs& fake_fs();
void fake_reset();
const PackIo* fake_pack_io();

// Runs the pack tool with the fake: GLEANER <args...>. Returns its exit code.
int run_gleaner(const std::vector<std::string>& args);
