// The medium checker's findings: each mistake found on an update medium, as an error (the
// update would fail, ask to retry, or do what the preparer surely did not mean) or a warning,
// with the file and line it stands in. Texts are cp932 bytes (names from files keep theirs).
#pragma once

enum FindingLevel { FINDING_ERROR, FINDING_WARNING };

enum {
  FINDING_SLOTS = 200,      // findings kept; later ones are counted only
  FINDING_FILE_SIZE = 300,  // "UPDATE.PAK[UPDATE.ENV]" and the like
  FINDING_TEXT_SIZE = 512
};

struct Finding {
  FindingLevel level;
  char file[FINDING_FILE_SIZE];  // where the mistake is; empty for the medium as a whole
  int line;                      // 1-based line in `file`, 0 for none
  char text[FINDING_TEXT_SIZE];  // cut to fit
};

// Empties the table.
void findings_reset(void);

// Records a finding; printf-style text. A full table keeps counting.
void add_finding(FindingLevel level, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

int finding_count(void);       // every finding added, kept or not
int kept_finding_count(void);  // those in the table (at most FINDING_SLOTS)
const Finding* finding_at(int index);
int error_count(void);
int warning_count(void);

// The checker's exit code: 0 without findings, 1 with an error, 2 with warnings only.
int findings_exit_code(void);
