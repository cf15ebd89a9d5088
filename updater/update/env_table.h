// The update description "UPDATE.ENV": one setting per line, loaded once into the EnvTable
// (200 records of 80 bytes) and read through the string and integer lookups.
#pragma once
#include <cstdio>

struct TextReader;

enum {
  ENV_RECORDS = 200,     // lines kept; the rest of the file is not read
  ENV_RECORD_SIZE = 80,  // one stored line, at most 79 characters and a NUL
  ENV_VALUE_REACH = 200  // bytes from the start of a found record searched for its value
};

// Loads "UPDATE.ENV" through the resource lookup. When it cannot be found, tells the user
// and ends the program with exit code 1.
void load_env(void);

// Clears the table and stores the lines that `reader` (or the binary stream `stream`, read
// as a Windows text-mode stream) yields, until 200 records are stored or the text ends.
void env_load_reader(TextReader* reader);
void env_load_stream(FILE* stream);

// Observer of the loading: sees every line as read (80 bytes, NUL-terminated, before the
// separators become NULs) and the record it went to, or -1 for a line that takes none. The
// medium checker uses it to give each record its place in the file; null for none.
typedef void (*EnvLineObserver)(void* context, const char* line, int record);
void set_env_line_observer(EnvLineObserver observer, void* context);

// The loading's two rules on a line as read: whether it takes a record (not blank, not led
// by a control byte, not a comment "/..."), and which bytes separate its tokens (spaces,
// tabs, the line feed and control bytes).
bool env_line_takes_record(const char* line);
bool env_is_separator(unsigned char c);

// Empties the table, as before loading.
void env_reset(void);

// The record with the given index (0-199), for tests: 80 bytes.
const char* env_record(int index);

// The index of the first record whose key is `key` (ASCII letters compared without case): the
// record env_int and env_string read; -1 when there is none.
int env_find_record(const char* key);

// The value of the record with the given index: its first token after the key, searched up
// to 200 bytes from the record's start (running on into the following records), or "0" when
// there is none within reach.
const char* env_value(int record);

// The key's value converted as atoi does, or `default_value` when the key is not in the
// table. env_int0 is env_int(key, 0).
int env_int(const char* key, int default_value);
int env_int0(const char* key);

// Copies the key's value into `destination` (at least 80 bytes) with every "|" made a space,
// and returns 0; returns -1 when the key is not in the table, leaving `destination` as it was.
int env_string(const char* key, char* destination);
