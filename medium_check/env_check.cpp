// Loading "UPDATE.ENV" with an observer on the updater's table reader. A byte-counting source
// under the line reader gives each line's place in the stream, so lines past the end of the
// file's own bytes (an archive member's stream runs on into the next member) are told apart.
#include "env_check.h"
#include <cstdio>
#include <cstring>
#include "env_table.h"
#include "findings.h"
#include "medium_files.h"
#include "medium_source.h"
#include "resource_lookup.h"
#include "resource_sources.h"
#include "text_reader.h"
#include "updater_keys.h"

enum {
  LABEL_SIZE = 300,
  SHOWN_TOKEN = 40,  // bytes of a token shown in a finding
  LINE_SPLIT = ENV_RECORD_SIZE - 1
};

struct RecordPlace {
  int line;              // file line the record's text starts on
  long long start, end;  // its bytes in the stream, from the file's first byte
  bool continuation;     // the rest of a line cut at 79 bytes
};

static struct {
  char label[LABEL_SIZE];  // where the file was found
  long long own_bytes;     // the file's own length (an archive member's size)
  long long stream_start;  // the file's first byte in the opened stream
  FILE* stream;            // the opened file while it is read
  long long delivered;     // bytes the line reader took from the stream
  TextReader reader;       // the line reader on the counting source
  long long position;      // stream bytes before the next line
  int line;                // file line of the next line read
  bool open_line;          // the last line read did not end its file line
  int lines_read;          // file lines of the own text reached
  RecordPlace places[ENV_RECORDS];  // where each stored record came from
  int stored;                       // records stored
  int reported_split_line;          // the last file line whose cut was reported
  char head[ENV_RECORD_SIZE];  // the line read before the one the observer sees
  int head_record;             // its record, -1 for none
} g_env;

const char* env_label(void) { return g_env.label; }
int env_lines_read(void) { return g_env.lines_read; }
int env_records_stored(void) { return g_env.stored; }

static long counting_read(void*, void* buffer, unsigned long size) {
  long n = text_read_stdio(g_env.stream, buffer, size);
  if (n > 0) g_env.delivered += n;
  return n;
}

static long long consumed(void) { return g_env.delivered - (g_env.reader.len - g_env.reader.pos); }

// `token` cut for showing, with "..." when cut.
static const char* shown(const char* token, char* out, size_t size) {
  size_t n = strnlen(token, ENV_RECORD_SIZE);
  if (n < SHOWN_TOKEN && n < size) {
    memcpy(out, token, n);
    out[n] = 0;
  } else {
    snprintf(out, size, "%.*s...", SHOWN_TOKEN, token);
  }
  return out;
}

// The first token of a line as read.
static void first_token(const char* line, char* out, size_t size) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(line);
  size_t i = 0;
  while (i < LINE_SPLIT && p[i] && env_is_separator(p[i])) ++i;
  size_t n = 0;
  while (i < LINE_SPLIT && !env_is_separator(p[i]) && n + 1 < size) out[n++] = char(p[i++]);
  out[n] = 0;
}

static bool only_separators(const char* line) {
  for (int i = 0; i < LINE_SPLIT && line[i]; ++i) {
    if (!env_is_separator(static_cast<unsigned char>(line[i]))) return false;
  }
  return true;
}

static bool is_setting_key(const char* token) {
  char why[8];
  return token[0] && (find_updater_key(token) >= 0 || near_updater_key(token, why, sizeof why));
}

// A line whose head was cut at 79 bytes: a setting loses the rest of its value, a comment's
// rest becomes a line of its own. Reported once per file line.
static void report_cut(const char* head, int head_record, const char* rest, int rest_record) {
  if (only_separators(rest) || g_env.reported_split_line == g_env.line) return;
  if (g_env.position >= g_env.own_bytes) return;  // past the file: its own finding
  g_env.reported_split_line = g_env.line;
  char token[ENV_RECORD_SIZE], show[64];
  first_token(rest, token, sizeof token);
  if (head_record >= 0) {
    add_finding(FINDING_ERROR, g_env.label, g_env.line,
                "line longer than 79 bytes: the updater keeps its first 79 bytes and reads the "
                "rest (\"%s\") as a line of its own",
                shown(token, show, sizeof show));
  } else if (head[0] == '/' && rest_record >= 0) {
    bool key = is_setting_key(token);
    add_finding(key ? FINDING_ERROR : FINDING_WARNING, g_env.label, g_env.line,
                "comment longer than 79 bytes: the updater reads its rest as a setting line "
                "with the key \"%s\"",
                shown(token, show, sizeof show));
  }
}

static void observe_line(void*, const char* line, int record) {
  long long start = g_env.position, end = consumed();
  bool continuation = g_env.open_line;
  if (continuation) report_cut(g_env.head, g_env.head_record, line, record);
  if (start < g_env.own_bytes && !continuation) ++g_env.lines_read;
  if (record >= 0 && record < ENV_RECORDS) {
    g_env.places[record] = {g_env.line, start, end, continuation};
    g_env.stored = record + 1;
  }
  memcpy(g_env.head, line, ENV_RECORD_SIZE);
  g_env.head_record = record;
  g_env.open_line = memchr(line, '\n', LINE_SPLIT) == nullptr;
  if (!g_env.open_line) ++g_env.line;
  g_env.position = end;
}

// Reads on after the 200th record, as far as the file's own text goes, and reports the lines
// the updater never reads.
static void report_unread_lines(void) {
  int first_line = 0, unread = 0;
  char key[ENV_RECORD_SIZE] = {0};
  while (g_env.position < g_env.own_bytes) {
    char line[ENV_RECORD_SIZE] = {0};
    if (text_read_line(&g_env.reader, line, sizeof line) <= 0) break;
    bool continuation = g_env.open_line;
    if (env_line_takes_record(line)) {
      if (!first_line) first_line = g_env.line;
      ++unread;
      char token[ENV_RECORD_SIZE];
      first_token(line, token, sizeof token);
      if (!key[0] && find_updater_key(token) >= 0) memcpy(key, token, sizeof token);
    }
    if (!continuation) ++g_env.lines_read;
    g_env.open_line = memchr(line, '\n', LINE_SPLIT) == nullptr;
    if (!g_env.open_line) ++g_env.line;
    g_env.position = consumed();
  }
  if (!unread) return;
  if (key[0]) {
    add_finding(FINDING_ERROR, g_env.label, first_line,
                "the updater stores only 200 lines: this line and %d more setting line%s after it "
                "are never read, %s among them",
                unread - 1, unread == 2 ? "" : "s", key);
  } else {
    add_finding(FINDING_WARNING, g_env.label, first_line,
                "the updater stores only 200 lines: this line and %d more after it are never read",
                unread - 1);
  }
}

// The record index and byte offset of env_value(record) in the table, or -1 for the "0" it
// falls back to.
static long value_place(int record) {
  const char* value = env_value(record);
  const char* table = env_record(0);
  if (value < table || value >= table + ENV_RECORDS * ENV_RECORD_SIZE) return -1;
  return long(value - table);
}

static bool past_end(int record) { return g_env.places[record].start >= g_env.own_bytes; }

// True when the record starts in the file's own text but takes tokens from what follows it:
// its last line has no line feed and the data after it does not begin with one.
static bool runs_on(int record) {
  const RecordPlace* place = &g_env.places[record];
  if (place->start >= g_env.own_bytes || place->end <= g_env.own_bytes) return false;
  const char* bytes = env_record(record);
  for (long long i = g_env.own_bytes - place->start; i < ENV_RECORD_SIZE; ++i) {
    if (bytes[i]) return true;
  }
  return false;
}

// The name of the archive member whose data follows the file's own, or "the archive's next
// data".
static void following_member(char* out, size_t size) {
  snprintf(out, size, "the data after it");
  const ResourceSlot* slot = resource_slot(0);
  long long end = g_env.stream_start + g_env.own_bytes;
  if (!slot || !(slot->pak || slot->ac)) return;
  long long best = -1, best_offset = 0;
  for (uint32_t i = 0; i + 1 < slot->count; ++i) {  // the end entry names no member
    long long offset = slot->pak ? slot->pak[i].offset : slot->ac[i].offset;
    if (offset >= end && (best < 0 || offset < best_offset)) {
      best = i;
      best_offset = offset;
    }
  }
  if (best < 0) return;
  const char* name = slot->pak ? slot->pak[best].name : slot->ac[best].name;
  int limit = slot->pak ? int(PAK_NAME_LIMIT) : int(AC_NAME_LIMIT);
  snprintf(out, size, "the member %.*s after it", int(strnlen(name, limit)), name);
}

static void check_value(int record, const char* key) {
  const RecordPlace* place = &g_env.places[record];
  long at = value_place(record);
  char show[64];
  if (at < 0) {
    add_finding(FINDING_ERROR, g_env.label, place->line,
                "%s has no value and nothing follows it: the updater takes \"0\" as its value",
                key);
    return;
  }
  int value_record = int(at / ENV_RECORD_SIZE);
  const char* value = env_record(0) + at;
  if (value_record != record) {
    if (past_end(value_record)) {
      char member[80];
      following_member(member, sizeof member);
      add_finding(FINDING_ERROR, g_env.label, place->line,
                  "%s has no value on its line: reading on past the end of the file into %s, the "
                  "updater takes \"%s\" as its value",
                  key, member, shown(value, show, sizeof show));
    } else {
      add_finding(
          FINDING_ERROR, g_env.label, place->line,
          "%s has no value on its line: the updater takes the next token, \"%s\" (line %d), "
          "as its value",
          key, shown(value, show, sizeof show), g_env.places[value_record].line);
    }
    return;
  }
  if (value[0] == '=') {
    add_finding(
        FINDING_ERROR, g_env.label, place->line,
        "%s's value \"%s\" starts with \"=\": the updater keeps the sign as part of the value; "
        "separate key and value by spaces only",
        key, shown(value, show, sizeof show));
  }
}

// A record whose key holds "=": "KEY=VALUE" is one token, so KEY is not found.
static bool check_joined(int record, const char* token) {
  const char* sign = strchr(token, '=');
  if (!sign || sign == token) return false;
  char left[ENV_RECORD_SIZE];
  size_t n = size_t(sign - token);
  memcpy(left, token, n);
  left[n] = 0;
  if (!is_setting_key(left)) return false;
  char show[64], right[64];
  shown(sign[1] ? sign + 1 : "VALUE", right, sizeof right);
  add_finding(FINDING_ERROR, g_env.label, g_env.places[record].line,
              "\"%s\" is one token: an equals sign does not separate, so the updater does not find "
              "%s; write \"%s %s\"",
              shown(token, show, sizeof show), left, left, right);
  return true;
}

// The length of the UTF-8 sequence at `p` (2 to 4), or 0 when none starts there.
static int utf8_sequence(const unsigned char* p) {
  int n = p[0] >= 0xC2 && p[0] <= 0xDF ? 2 : p[0] >= 0xE0 && p[0] <= 0xEF ? 3
          : p[0] >= 0xF0 && p[0] <= 0xF4 ? 4 : 0;
  for (int i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
  }
  return n;
}

// A file saved as UTF-8: a byte order mark hides the first key; text of three-byte sequences
// (Japanese in UTF-8) throughout, with no byte that UTF-8 cannot hold, shows garbled, since
// the updater reads Shift-JIS. Shift-JIS Japanese text is practically never valid UTF-8.
static void check_encoding(void) {
  const unsigned char* first = reinterpret_cast<const unsigned char*>(env_record(0));
  if (g_env.stored && !past_end(0) && first[0] == 0xEF && first[1] == 0xBB && first[2] == 0xBF) {
    char show[64];
    add_finding(FINDING_ERROR, g_env.label, g_env.places[0].line,
                "the file begins with a UTF-8 byte order mark: the updater reads the first key as "
                "three more bytes and \"%s\", and does not find it; save it as Shift-JIS",
                shown(env_record(0) + 3, show, sizeof show));
  }
  int utf8_line = 0;
  for (int r = 0; r < g_env.stored && !past_end(r); ++r) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(env_record(r));
    for (int i = 0; i < ENV_RECORD_SIZE; ++i) {
      if (p[i] < 0x80) continue;
      int n = utf8_sequence(p + i);
      if (!n || i + n > ENV_RECORD_SIZE) return;  // not UTF-8: Shift-JIS as it should be
      if (n == 3 && !utf8_line && !(r == 0 && i == 0)) utf8_line = g_env.places[r].line;
      i += n - 1;
    }
  }
  if (utf8_line) {
    add_finding(FINDING_WARNING, g_env.label, utf8_line,
                "the file looks like UTF-8 text: the updater reads Shift-JIS, so its Japanese "
                "texts show garbled; save it as Shift-JIS (code page 932)");
  }
}

static void check_records(void) {
  check_encoding();
  int first_of_key[64];
  for (int& f : first_of_key) f = -1;
  for (int r = 0; r < g_env.stored; ++r) {
    const RecordPlace* place = &g_env.places[r];
    const char* key = env_record(r);
    char show[64], why[96];
    if (runs_on(r)) {
      char member[80];
      following_member(member, sizeof member);
      add_finding(
          FINDING_ERROR, g_env.label, place->line,
          "the last line has no line feed: inside the archive the updater reads on into %s, "
          "so the line it stores begins \"%s\"",
          member, shown(key[0] ? key : env_value(r), show, sizeof show));
    }
    int k = find_updater_key(key);
    if (past_end(r)) {
      if (k >= 0 && first_of_key[k] < 0) {
        char member[80];
        following_member(member, sizeof member);
        add_finding(
            FINDING_ERROR, g_env.label, g_env.lines_read,
            "reading on past the end of the file into %s, the updater finds %s (value \"%s\"), "
            "which the file itself lacks",
            member, updater_key(k)->name, shown(env_value(r), show, sizeof show));
      }
      if (k >= 0 && first_of_key[k] < 0) first_of_key[k] = r;
      continue;
    }
    if (!key[0]) {  // a line that starts with a space: its first token is no key
      const char* token = env_value(r);
      if (value_place(r) / ENV_RECORD_SIZE == r && is_setting_key(token)) {
        add_finding(
            FINDING_ERROR, g_env.label, place->line,
            "the line starts with a space: the updater stores it with an empty key and never "
            "finds \"%s\"",
            shown(token, show, sizeof show));
      }
      continue;
    }
    if (k < 0) {
      if (check_joined(r, key)) continue;
      const char* near = near_updater_key(key, why, sizeof why);
      if (near && !place->continuation) {
        add_finding(FINDING_ERROR, g_env.label, place->line,
                    "\"%s\" is not a key the updater reads (%s): the line is ignored",
                    shown(key, show, sizeof show), why);
      }
      continue;
    }
    const char* name = updater_key(k)->name;
    if (first_of_key[k] >= 0) {
      int first = first_of_key[k];
      bool same = strcmp(env_value(first), env_value(r)) == 0;
      add_finding(same ? FINDING_WARNING : FINDING_ERROR, g_env.label, place->line,
                  "%s again: the updater uses the first one, on line %d%s", name,
                  g_env.places[first].line, same ? " (the same value)" : ", and never this value");
      continue;
    }
    first_of_key[k] = r;
    if (strcmp(key, name) != 0) {
      add_finding(FINDING_WARNING, g_env.label, place->line,
                  "\"%s\" is not written in upper case: the updater finds it all the same, as %s "
                  "(keys compare without regard to case)",
                  shown(key, show, sizeof show), name);
    }
    check_value(r, name);
  }
}

bool check_env(void) {
  memset(&g_env, 0, sizeof g_env);
  g_env.line = 1;
  g_env.reported_split_line = 0;
  const char* name = "UPDATE.ENV";
  if (!resource_label(name, g_env.label, sizeof g_env.label)) {
    add_finding(
        FINDING_ERROR, "", 0,
        "UPDATE.ENV is found nowhere%s: the updater says "
        "\"環境設定ファイル[UPDATE.ENV]が見つかりません！\" "
        "and ends with exit code 1",
        archive_holds_under_folder(name) ? " (UPDATE.PAK holds it under a folder name)" : "");
    env_reset();
    return false;
  }
  g_env.stream = open_resource(name, "rt");
  g_env.own_bytes = resource_length();
  g_env.stream_start = ftell(g_env.stream);
  text_reader_start(&g_env.reader, counting_read, nullptr);
  set_env_line_observer(observe_line, nullptr);
  env_load_reader(&g_env.reader);
  set_env_line_observer(nullptr, nullptr);
  if (g_env.stored == ENV_RECORDS) report_unread_lines();
  close_resource(g_env.stream);
  g_env.stream = nullptr;
  check_records();
  return true;
}

int env_key_line(const char* key) {
  int r = env_find_record(key);
  return r < 0 || r >= g_env.stored ? 0 : g_env.places[r].line;
}

bool env_key_past_end(const char* key) {
  int r = env_find_record(key);
  return r >= 0 && r < g_env.stored && past_end(r);
}
