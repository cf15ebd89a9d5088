// The findings table: a fixed array filled in the order the checks run.
#include "findings.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>

static struct {
  Finding kept[FINDING_SLOTS];  // the first findings, in order
  int count;                    // every finding added
  int errors, warnings;
} g_findings;

void findings_reset(void) { memset(&g_findings, 0, sizeof g_findings); }

void add_finding(FindingLevel level, const char* file, int line, const char* format, ...) {
  if (level == FINDING_ERROR)
    ++g_findings.errors;
  else
    ++g_findings.warnings;
  int index = g_findings.count++;
  if (index >= FINDING_SLOTS) return;
  Finding* f = &g_findings.kept[index];
  f->level = level;
  snprintf(f->file, sizeof f->file, "%s", file ? file : "");
  f->line = line;
  va_list args;
  va_start(args, format);
  vsnprintf(f->text, sizeof f->text, format, args);
  va_end(args);
}

int finding_count(void) { return g_findings.count; }
int kept_finding_count(void) {
  return g_findings.count < FINDING_SLOTS ? g_findings.count : FINDING_SLOTS;
}
const Finding* finding_at(int index) {
  return index >= 0 && index < kept_finding_count() ? &g_findings.kept[index] : nullptr;
}
int error_count(void) { return g_findings.errors; }
int warning_count(void) { return g_findings.warnings; }

int findings_exit_code(void) {
  if (g_findings.errors) return 1;
  return g_findings.warnings ? 2 : 0;
}
