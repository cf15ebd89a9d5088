// The medium checker: reads an update medium in the current directory exactly as the updater
// does when started there, through the updater's own resource lookup, table reader and bitmap
// loader, and reports the effective settings and every mistake found.
#pragma once

// Runs every check; returns the exit code: 0 without findings, 1 with errors, 2 with
// warnings only.
int check_medium(void);

// Receives the report's text in pieces (cp932 bytes, lines end with "\n").
typedef void (*ReportWrite)(void* context, const char* text);

// Writes the report of the last check_medium: the update source, the effective settings
// (every key the updater reads, with its value or its default), the findings, and a summary.
void write_medium_report(ReportWrite write, void* context);
