// The EnvTable: storing the lines of "UPDATE.ENV" and looking keys up. Keys compare without
// regard to ASCII letter case; a key without a value in its own record takes the next token
// that follows it within reach.
#include "env_table.h"
#include <cstring>
#include "sjis.h"
#include "text_number.h"
#include "text_reader.h"

static struct {
  char records[ENV_RECORDS][ENV_RECORD_SIZE];  // all zero until loaded; unfilled stay zero
  EnvLineObserver observer;                    // told of every line read; null for none
  void* observer_context;
} env;

static const char env_default_value[] = "0";

void env_reset(void) { memset(env.records, 0, sizeof env.records); }

void set_env_line_observer(EnvLineObserver observer, void* context) {
  env.observer = observer;
  env.observer_context = context;
}

static void tell_observer(const char* line, int record) {
  if (env.observer) env.observer(env.observer_context, line, record);
}

bool env_line_takes_record(const char* line) {
  unsigned char first = static_cast<unsigned char>(line[0]);
  return first >= 0x20 && first != '/';
}

bool env_is_separator(unsigned char c) { return c <= 0x20; }

void env_load_reader(TextReader* reader) {
  env_reset();
  int stored = 0;
  while (stored < ENV_RECORDS) {
    char line[ENV_RECORD_SIZE] = {0};
    if (text_read_line(reader, line, sizeof line) <= 0) break;
    if (!env_line_takes_record(line)) {
      tell_observer(line, -1);
      continue;
    }
    tell_observer(line, stored);
    // The separators become NULs, which end the tokens.
    for (int i = 0; i < ENV_RECORD_SIZE; ++i) {
      if (env_is_separator(static_cast<unsigned char>(line[i]))) line[i] = 0;
    }
    memcpy(env.records[stored++], line, sizeof line);
  }
}

void env_load_stream(FILE* stream) {
  TextReader reader;
  text_reader_start(&reader, text_read_stdio, stream);
  env_load_reader(&reader);
}

const char* env_record(int index) { return env.records[index]; }

// ASCII letters folded to lower case byte by byte, as _strcmpi compares.
static int fold_ascii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

static bool key_equals(const char* key, const char* record_key) {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(key);
  const unsigned char* b = reinterpret_cast<const unsigned char*>(record_key);
  for (; *a || *b; ++a, ++b) {
    if (fold_ascii(*a) != fold_ascii(*b)) return false;
  }
  return true;
}

// A record with the empty key holds no setting, so the empty key is never found.
int env_find_record(const char* key) {
  if (!key[0]) return -1;
  for (int i = 0; i < ENV_RECORDS; ++i) {
    if (key_equals(key, env.records[i])) return i;
  }
  return -1;
}

const char* env_value(int record) {
  if (record < 0 || record >= ENV_RECORDS) return env_default_value;
  const char* start = env.records[record];
  long reach = static_cast<long>(ENV_RECORDS - record) * ENV_RECORD_SIZE;
  if (reach > ENV_VALUE_REACH) reach = ENV_VALUE_REACH;
  long pos = 0;
  while (pos < reach && start[pos]) ++pos;  // the key
  while (pos < reach && !start[pos]) ++pos;  // the separators
  // Every record ends with a NUL, so a value found here is terminated within its record.
  return pos < reach ? start + pos : env_default_value;
}

int env_int(const char* key, int default_value) {
  int record = env_find_record(key);
  return record < 0 ? default_value : text_atoi(env_value(record));
}

int env_int0(const char* key) { return env_int(key, 0); }

int env_string(const char* key, char* destination) {
  int record = env_find_record(key);
  if (record < 0) return -1;
  const char* value = env_value(record);
  size_t length = strlen(value);  // at most 79
  memcpy(destination, value, length + 1);
  // "|" stands for a space; the second byte of a double-byte character is part of that
  // character (ポ is 83 7C), never a "|".
  for (unsigned char* p = reinterpret_cast<unsigned char*>(destination); *p; ++p) {
    if (is_sjis_lead_byte(*p)) {
      if (!p[1]) break;
      ++p;
    } else if (*p == '|') {
      *p = ' ';
    }
  }
  return 0;
}
