// A property a fuzz target holds on every input: a violation stops the run at once, with the
// input kept by the fuzzer.
#pragma once

#define CHECK(condition)                \
  do {                                  \
    if (!(condition)) __builtin_trap(); \
  } while (0)
