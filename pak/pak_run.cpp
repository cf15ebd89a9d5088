// `pak`'s command line: the help, the dispatch to the commands, list and test.
#include <cstring>
#include "console_text.h"
#include "pak_archive.h"
#include "pak_check.h"
#include "pak_commands.h"
#include "pak_output.h"
#include "pak_list.h"

static const char HELP[] =
    "usage: pak list ARCHIVE [--json]      the format and every member (name, size, offset, CRC)\n"
    "       pak test ARCHIVE               checks every rule of the archive's format\n"
    "       pak extract ARCHIVE [DIR] [NAME...]\n"
    "                                      writes the members (or those the updater opens for\n"
    "                                      the NAMEs) into DIR (default: the current folder)\n"
    "       pak find ARCHIVE NAME          the member the updater opens for NAME (\"@\" prefix,\n"
    "                                      base name and extension, case folded; a plain file\n"
    "                                      of that name beside the updater would come first)\n"
    "\n"
    "Formats: ADPACK32, AC, keyed and short-name directories, as the updater reads them.\n"
    "Extraction never writes outside DIR: a member name's folder part or drive is dropped\n"
    "(\"flattened\"); a name that is empty, \".\" or \"..\", holds a character Windows forbids,\n"
    "ends in a dot or a space or names a device is refused, as is a second member under the\n"
    "same name; files already in DIR are replaced. Keyed archives store no names: their members\n"
    "are written as KEY-<key> unless a NAME picks them.\n"
    "\n"
    "Exit codes: 0 listed, sound, found, all written; 1 faults found (test), not found (find),\n"
    "a member refused or not written (extract); 2 bad command line, or the archive cannot be\n"
    "read (or DIR cannot be created).\n";

int pak_list(const char* archive, bool json, FILE* out, FILE* err) {
  const char* reason;
  if (pak_open_archive(archive, &reason) != 0) {
    console_print(err, "pak: %s %s\n", pak_shown(archive), reason);
    return PAK_EXIT_USAGE;
  }
  pak_list_archive(out, json);
  pak_close_archive();
  return PAK_EXIT_OK;
}

int pak_test(const char* archive, FILE* out, FILE* err) {
  const char* reason;
  if (pak_open_archive(archive, &reason) != 0) {
    console_print(err, "pak: %s %s\n", pak_shown(archive), reason);
    return PAK_EXIT_USAGE;
  }
  int faults = pak_check_archive(out);
  pak_close_archive();
  return faults ? PAK_EXIT_FAULTS : PAK_EXIT_OK;
}

static int usage(FILE* err, const char* complaint) {
  if (complaint) console_print(err, "pak: %s\n", complaint);
  console_write(err, HELP);
  return PAK_EXIT_USAGE;
}

int pak_run(int argc, char** argv, FILE* out, FILE* err) {
  if (argc >= 2 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
    console_write(out, HELP);
    return PAK_EXIT_OK;
  }
  if (argc < 3) return usage(err, argc < 2 ? nullptr : "no ARCHIVE given");
  const char* command = argv[1];
  const char* archive = argv[2];
  if (strcmp(command, "list") == 0) {
    bool json = argc == 4 && strcmp(argv[3], "--json") == 0;
    if (argc > 4 || (argc == 4 && !json)) return usage(err, "list takes ARCHIVE and --json only");
    return pak_list(archive, json, out, err);
  }
  if (strcmp(command, "test") == 0) {
    if (argc != 3) return usage(err, "test takes ARCHIVE only");
    return pak_test(archive, out, err);
  }
  if (strcmp(command, "find") == 0) {
    if (argc != 4) return usage(err, "find takes ARCHIVE and one NAME");
    return pak_find(archive, argv[3], out, err);
  }
  if (strcmp(command, "extract") == 0) {
    const char* dir = argc >= 4 ? argv[3] : ".";
    return pak_extract(archive, dir, argv + 4, argc > 4 ? argc - 4 : 0, out, err);
  }
  return usage(err, "unknown command");
}
