// The `medium-check` program's command line, the same on Linux and Windows; the entries only
// turn the arguments into what it takes and enter the medium's folder.
#pragma once
#include <cstdio>

enum {
  MEDIUM_EXIT_SOUND = 0,     // no findings
  MEDIUM_EXIT_ERRORS = 1,    // at least one error
  MEDIUM_EXIT_WARNINGS = 2,  // warnings only
  MEDIUM_EXIT_USAGE = 3      // bad command line, or the folder cannot be entered
};

// Makes the folder of argument `index` the current directory: 0 when it is.
typedef int (*EnterFolderProc)(int index);

// Runs the command line (argv[0] the program; arguments as UTF-8 text for showing): enters
// MEDIUM_FOLDER through `enter_folder`, checks it and writes the report to `out`.
int medium_check_run(int argc, char** argv, EnterFolderProc enter_folder, FILE* out, FILE* err);
