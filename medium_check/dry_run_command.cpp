// The dry run wired into the program: options, the scan, the run, its two outputs.
#include "dry_run_command.h"
#include <cstring>
#include "console_text.h"
#include "dry_run.h"
#include "game_scan.h"
#include "medium_check_run.h"
#include "medium_source.h"
#include "plain_name.h"

const char DRY_RUN_HELP[] =
    "\n"
    "medium-check MEDIUM_FOLDER --game GAME_FOLDER [--predict FILE]\n"
    "adds a dry run: the update procedure simulated on GAME_FOLDER as it is now (nothing is\n"
    "changed), step by step as the updater takes them: each copy (new, replaced, read-only\n"
    "replaced, or why it fails), each deletion (deleted, absent, or kept), the configuration and\n"
    "save files, and the end (\"MINIOK\" or the failure message, with the pairs that fail). Names\n"
    "in GAME_FOLDER are matched without regard to case, as Windows does. --predict writes the\n"
    "folder's predicted state (one line per file: attributes, size, content hash, name) and the\n"
    "end to FILE. A predicted failure, or a refusal for lack of free space on GAME_FOLDER's\n"
    "volume, makes the exit code 1; a read-only file kept from deletion makes it at least 2.\n";

static struct {
  const char* game;     // --game's folder, or null
  const char* predict;  // --predict's file, or null
  FILE* prediction;     // the open prediction file
  DrySettings settings;
  int scanned;  // 1 once the game folder is in the table
} command;

static int take_value(int* argc, char** argv, int i, const char** slot, FILE* err) {
  if (i + 1 >= *argc || *slot) {
    console_write_utf8(
        err, *slot ? "medium-check: an option stands twice: " : "medium-check: no value for ");
    console_write_utf8(err, argv[i]);
    console_write_utf8(err, "\n");
    return -1;
  }
  *slot = argv[i + 1];
  for (int j = i; j + 2 <= *argc; j++) argv[j] = argv[j + 2];
  *argc -= 2;
  return 0;
}

int take_dry_run_options(int* argc, char** argv, FILE* err) {
  for (int i = 1; i < *argc;) {
    const char** slot = strcmp(argv[i], "--game") == 0      ? &command.game
                        : strcmp(argv[i], "--predict") == 0 ? &command.predict
                                                            : nullptr;
    if (!slot) {
      i++;
      continue;
    }
    if (take_value(argc, argv, i, slot, err) != 0) return -1;
  }
  if (command.predict && !command.game) {
    console_write_utf8(err, "medium-check: --predict needs --game\n");
    return -1;
  }
  return 0;
}

static void fail_with(FILE* err, const char* what, const char* path) {
  console_write_utf8(err, what);
  console_write_utf8(err, path);
  console_write_utf8(err, "\n");
}

int prepare_dry_run(FILE* err) {
  if (!command.game) return 0;
  if (scan_game_folder(command.game) != 0) {
    fail_with(err, "medium-check: not a folder: ", command.game);
    return -1;
  }
  command.scanned = 1;
  command.settings.free_mib = game_folder_free_mib(command.game);
  command.settings.folder_units = game_folder_units(command.game);
  if (command.settings.folder_units < 0) command.settings.folder_units = 0;
  if (command.predict && !(command.prediction = open_utf8_file(command.predict, "wb"))) {
    fail_with(err, "medium-check: cannot create ", command.predict);
    return -1;
  }
  return 0;
}

// Names in cp932 shown as UTF-8; bytes that are not valid cp932 fail, as the updater's file
// calls do.
static int strict_utf8(const char* cp932, char* out, size_t size) {
  char back[2048];
  int n = console_cp932_to_utf8(cp932, out, size);
  if (n < 0 || console_utf8_to_cp932(out, back, sizeof back) < 0 || strcmp(back, cp932) != 0) {
    if (size) out[0] = 0;
    return -1;
  }
  return n;
}

// A source as the updater on Windows finds it: in any letter case.
static int source_in_any_case(const char* source, uint64_t* size, uint64_t* hash) {
  if (read_dry_source(source, size, hash) == 0) return 0;
  char other[1024];
  return plain_name_in_other_case(source, other, sizeof other) ? read_dry_source(other, size, hash)
                                                               : -1;
}

static void write_out(void* context, const char* utf8) {
  console_write_utf8(static_cast<FILE*>(context), utf8);
}

static void write_file(void* context, const char* utf8) {
  fputs(utf8, static_cast<FILE*>(context));
}

int finish_dry_run(FILE* out, int code) {
  if (!command.scanned) return code;
  set_dry_to_utf8(strict_utf8);
  set_dry_source_probe(source_in_any_case);
  char where[1024];
  DryEnd end = DRY_END_STOPPED;
  if (resource_label("UPDATE.ENV", where, sizeof where)) {
    end = run_dry(&command.settings);
    write_dry_report(write_out, out);
  } else {
    stop_dry_run();
    console_write_utf8(out,
                       "Dry run: UPDATE.ENV is found nowhere, so the updater ends before "
                       "the update and nothing changes\n");
  }
  if (command.prediction) {
    write_prediction(write_file, command.prediction);
    fclose(command.prediction);
  }
  if (end != DRY_END_MINIOK) return MEDIUM_EXIT_ERRORS;
  const DryRun* run = dry_run();
  for (int i = 0; i < run->steps.count; i++) {
    DryOutcome outcome = run->result[i].outcome;
    if ((outcome == DRY_KEPT_READONLY || outcome == DRY_OUTSIDE) && code == MEDIUM_EXIT_SOUND)
      code = MEDIUM_EXIT_WARNINGS;
  }
  return code;
}
