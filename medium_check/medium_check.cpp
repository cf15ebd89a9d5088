// The order of the checks follows the updater's start: the source, "UPDATE.ENV", the data
// file and the splash picture, then the files the update itself uses.
#include "medium_check.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include "bitmap_check.h"
#include "env_check.h"
#include "env_table.h"
#include "findings.h"
#include "install_record.h"
#include "medium_files.h"
#include "medium_source.h"
#include "resource_sources.h"
#include "text_number.h"
#include "updater_keys.h"

enum { REPORT_LINE = 1024, VALUE_SIZE = 256 };

static struct {
  bool env_found;  // "UPDATE.ENV" was found and loaded
} g_check;

int check_medium(void) {
  findings_reset();
  env_reset();
  register_medium_source();
  check_source();
  check_archive_members();
  g_check.env_found = check_env();
  if (g_check.env_found) {
    check_pairs();
    check_plain_files();
  }
  check_splash_files();
  check_splash_bitmap();
  return findings_exit_code();
}

static void report(ReportWrite write, void* context, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
static void report(ReportWrite write, void* context, const char* format, ...) {
  char line[REPORT_LINE];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  write(context, line);
}

static void write_source(ReportWrite write, void* context) {
  const ResourceSlot* slot = resource_slot(0);
  switch (medium_source()) {
    case SOURCE_FOLDER:
      report(write, context, "Update source: the folder UPDATE (it holds PK.BAT)\n");
      break;
    case SOURCE_ARCHIVE:
      report(write, context, "Update source: UPDATE.PAK, %s directory, %u entries\n",
             medium_archive_format(), unsigned(slot->count));
      break;
    default:
      report(write, context,
             "Update source: none (no UPDATE\\PK.BAT, no UPDATE.PAK): only plain files\n");
  }
  if (g_check.env_found) {
    report(write, context, "UPDATE.ENV: %s, %d lines read, %d records stored\n", env_label(),
           env_lines_read(), env_records_stored());
  }
}

static void write_setting(ReportWrite write, void* context, const UpdaterKey* key) {
  char value[VALUE_SIZE];
  int line = env_key_line(key->name);
  char place[64] = "";
  if (env_key_past_end(key->name))
    snprintf(place, sizeof place, "  (past the end of the file)");
  else if (line)
    snprintf(place, sizeof place, "  (line %d)", line);
  if (env_string(key->name, value) != 0) {
    if (key->absent_is_value)
      report(write, context, "  %-13s %s  (default)\n", key->name, key->when_absent);
    else
      report(write, context, "  %-13s -  (absent: %s)\n", key->name, key->when_absent);
    return;
  }
  if (key->lookup == KEY_INTEGER) {
    int number = env_int0(key->name);
    char as_text[16];
    snprintf(as_text, sizeof as_text, "%d", number);
    if (strcmp(as_text, value) == 0)
      report(write, context, "  %-13s %d%s\n", key->name, number, place);
    else
      report(write, context, "  %-13s %d (from \"%s\")%s\n", key->name, number, value, place);
    return;
  }
  report(write, context, "  %-13s %s%s\n", key->name, value, place);
}

void write_medium_report(ReportWrite write, void* context) {
  write_source(write, context);
  if (g_check.env_found) {
    report(write, context, "Effective settings (what the updater reads):\n");
    for (int i = 0; i < updater_key_count(); ++i) write_setting(write, context, updater_key(i));
  }
  if (finding_count()) report(write, context, "Findings:\n");
  for (int i = 0; i < kept_finding_count(); ++i) {
    const Finding* f = finding_at(i);
    const char* level = f->level == FINDING_ERROR ? "error" : "warning";
    if (f->file[0] && f->line)
      report(write, context, "%s:%d: %s: %s\n", f->file, f->line, level, f->text);
    else if (f->file[0])
      report(write, context, "%s: %s: %s\n", f->file, level, f->text);
    else
      report(write, context, "%s: %s\n", level, f->text);
  }
  if (finding_count() > kept_finding_count())
    report(write, context, "(%d more findings not shown)\n",
           finding_count() - kept_finding_count());
  report(write, context, "%d error%s, %d warning%s\n", error_count(), error_count() == 1 ? "" : "s",
         warning_count(), warning_count() == 1 ? "" : "s");
}
