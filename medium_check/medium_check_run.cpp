// `medium-check`'s command line: the help, the folder, the check and its report.
#include "medium_check_run.h"
#include <cstring>
#include "console_text.h"
#include "dry_run_command.h"
#include "medium_check.h"

static const char HELP[] =
    "usage: medium-check MEDIUM_FOLDER\n"
    "\n"
    "Reads the update medium in MEDIUM_FOLDER as the updater does when started there (plain\n"
    "files beside it, then the folder UPDATE when it holds PK.BAT, else UPDATE.PAK), with the\n"
    "updater's own resource lookup, UPDATE.ENV reader and bitmap loader. Prints the effective\n"
    "settings (every key the updater reads, with the value it gets or its default) and each\n"
    "mistake as FILE:LINE: error|warning: TEXT. An error is a mistake that makes the update\n"
    "fail, ask the player to retry, or do what the preparer surely did not mean; a warning is\n"
    "one the update survives (a picture drawn cut, a key written twice with the same value).\n"
    "\n"
    "Exit codes: 0 no findings; 1 errors; 2 warnings only; 3 bad command line, or\n"
    "MEDIUM_FOLDER cannot be entered.\n";

static void write_report_text(void* context, const char* text) {
  console_write(static_cast<FILE*>(context), text);
}

int medium_check_run(int argc, char** argv, EnterFolderProc enter_folder, FILE* out, FILE* err) {
  if (argc == 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
    console_write_utf8(out, HELP);
    console_write_utf8(out, DRY_RUN_HELP);
    return MEDIUM_EXIT_SOUND;
  }
  if (take_dry_run_options(&argc, argv, err) != 0) return MEDIUM_EXIT_USAGE;
  if (argc != 2 || argv[1][0] == '-') {
    console_write_utf8(err, argc < 2 ? "medium-check: no MEDIUM_FOLDER given\n"
                                     : "medium-check: takes MEDIUM_FOLDER only\n");
    console_write_utf8(err, HELP);
    return MEDIUM_EXIT_USAGE;
  }
  if (prepare_dry_run(err) != 0) return MEDIUM_EXIT_USAGE;
  if (enter_folder(1) != 0) {
    console_write_utf8(err, "medium-check: cannot enter the folder ");
    console_write_utf8(err, argv[1]);
    console_write_utf8(err, "\n");
    return MEDIUM_EXIT_USAGE;
  }
  console_write_utf8(out, "Medium: ");
  console_write_utf8(out, argv[1]);
  console_write_utf8(out, "\n");
  int code = check_medium();
  write_medium_report(write_report_text, out);
  code = finish_dry_run(out, code);
  fflush(out);
  return code;
}
