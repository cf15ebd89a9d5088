// "UPDATE.ENV" as the updater loads it, watched line by line: each record's place in the
// file, lines cut at 79 bytes, lines past the 200th stored one and lines read on past the
// file's end inside the archive; then the findings on its keys and values.
#pragma once

// Loads the table through the updater's own reader and adds the findings on the file. Needs
// the update source registered. False when "UPDATE.ENV" is found nowhere (that finding added).
bool check_env(void);

// Where the file was found ("UPDATE.PAK[UPDATE.ENV]" ...), for the findings and the report.
const char* env_label(void);

// The file line of the record the updater finds for `key`, 0 when it finds none.
int env_key_line(const char* key);

// True when the record the updater finds for `key` lies after the file's own text (read on
// into the archive's following data).
bool env_key_past_end(const char* key);

int env_lines_read(void);      // lines of the file's own text that the updater read
int env_records_stored(void);  // records stored, from the file and beyond it
