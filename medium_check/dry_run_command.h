// The dry run's part of `medium-check`'s command line: "--game GAME_FOLDER" and
// "--predict FILE", the game folder scanned before the medium's folder is entered, and the
// dry run's report and prediction after the medium's check.
#pragma once
#include <cstdio>

// The options' help, appended to the program's.
extern const char DRY_RUN_HELP[];

// Takes the dry run's options out of argv (argc shrinks). 0 when they are sound; -1 after a
// message on `err` when one lacks its value or stands twice.
int take_dry_run_options(int* argc, char** argv, FILE* err);

// With --game: scans the game folder and measures it; with --predict: creates FILE. Run
// before the medium's folder is entered, so relative paths mean what the user meant. 0 when
// done (or nothing asked); -1 after a message on `err`.
int prepare_dry_run(FILE* err);

// After the medium's check: the dry run's report on `out` and the prediction in FILE, when
// asked. Returns the exit code: `code` raised to 1 when the update is predicted to fail or
// not to start, to 2 when a deletion keeps a read-only file or a name leaves the game folder.
int finish_dry_run(FILE* out, int code);
