// The updater's keys in the order its table lists them, and the near-miss test: numbered keys
// out of range first, then a key that is a known key cut short or lengthened at an underscore,
// then a misspelling of at most two edits (one for short tokens).
#include "updater_keys.h"
#include <cstdio>
#include <cstring>
#include "env_defaults.h"

static const UpdaterKey g_keys[] = {
    {"APPTITLE", KEY_STRING, DEFAULT_APPTITLE, true},
    {"APPNAME", KEY_STRING, DEFAULT_APPNAME, true},
    {"README", KEY_STRING, DEFAULT_README, true},
    {"INIFILE", KEY_STRING, DEFAULT_INIFILE, true},
    {"INISECTION", KEY_STRING, DEFAULT_INISECTION, true},
    {"SAVEISSAFE", KEY_INTEGER, "0", true},
    {"DELCONFIG", KEY_INTEGER, "0", true},
    {"DELSAVE", KEY_INTEGER, "0", true},
    {"CONFIGNAME", KEY_STRING, "configuration file not deleted", false},
    {"SAVENAME", KEY_STRING, "save files not deleted", false},
    {"COPYPAK_F", KEY_STRING, "pair skipped", false},
    {"COPYPAK_T", KEY_STRING, "pair skipped", false},
    {"COPY1_F", KEY_STRING, "pair skipped", false},
    {"COPY1_T", KEY_STRING, "pair skipped", false},
    {"COPY2_F", KEY_STRING, "pair skipped", false},
    {"COPY2_T", KEY_STRING, "pair skipped", false},
    {"COPY3_F", KEY_STRING, "pair skipped", false},
    {"COPY3_T", KEY_STRING, "pair skipped", false},
    {"COPY4_F", KEY_STRING, "pair skipped", false},
    {"COPY4_T", KEY_STRING, "pair skipped", false},
    {"COPY5_F", KEY_STRING, "pair skipped", false},
    {"COPY5_T", KEY_STRING, "pair skipped", false},
    {"COPY6_F", KEY_STRING, "pair skipped", false},
    {"COPY6_T", KEY_STRING, "pair skipped", false},
    {"COPY7_F", KEY_STRING, "pair skipped", false},
    {"COPY7_T", KEY_STRING, "pair skipped", false},
    {"COPY8_F", KEY_STRING, "pair skipped", false},
    {"COPY8_T", KEY_STRING, "pair skipped", false},
    {"COPY9_F", KEY_STRING, "pair skipped", false},
    {"COPY9_T", KEY_STRING, "pair skipped", false},
    {"DELETE_1", KEY_STRING, "entry skipped", false},
    {"DELETE_2", KEY_STRING, "entry skipped", false},
    {"DELETE_3", KEY_STRING, "entry skipped", false},
    {"DELETE_4", KEY_STRING, "entry skipped", false},
    {"DELETE_5", KEY_STRING, "entry skipped", false},
    {"DELETE_6", KEY_STRING, "entry skipped", false},
    {"DELETE_7", KEY_STRING, "entry skipped", false},
    {"DELETE_8", KEY_STRING, "entry skipped", false},
    {"DELETE_9", KEY_STRING, "entry skipped", false},
    {"COPYEXE_F_NP", KEY_STRING, "pair skipped", false},
    {"COPYEXE_T", KEY_STRING, "pair skipped", false},
};

enum {
  KEY_COUNT = sizeof g_keys / sizeof g_keys[0],
  FOLDED_SIZE = 80,  // a token is at most 79 bytes
  NEAR_EDITS = 2,    // misspellings of at most this many edits are caught
  SHORT_TOKEN = 5    // tokens shorter than this are caught at one edit only
};

int updater_key_count(void) { return KEY_COUNT; }
const UpdaterKey* updater_key(int index) {
  return index >= 0 && index < KEY_COUNT ? &g_keys[index] : nullptr;
}

static char fold(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

static void fold_copy(char* out, const char* token) {
  int n = 0;
  for (; token[n] && n < FOLDED_SIZE - 1; ++n) out[n] = fold(token[n]);
  out[n] = 0;
}

int find_updater_key(const char* token) {
  char folded[FOLDED_SIZE];
  fold_copy(folded, token);
  for (int i = 0; i < KEY_COUNT; ++i) {
    if (strcmp(folded, g_keys[i].name) == 0) return i;
  }
  return -1;
}

// Edit distance with adjacent transpositions (optimal string alignment), both texts folded.
static int edit_distance(const char* a, const char* b) {
  int n = (int)strlen(a), m = (int)strlen(b);
  static int d[FOLDED_SIZE + 1][FOLDED_SIZE + 1];
  for (int i = 0; i <= n; ++i) d[i][0] = i;
  for (int j = 0; j <= m; ++j) d[0][j] = j;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= m; ++j) {
      int cost = a[i - 1] == b[j - 1] ? 0 : 1;
      int best = d[i - 1][j] + 1;
      if (d[i][j - 1] + 1 < best) best = d[i][j - 1] + 1;
      if (d[i - 1][j - 1] + cost < best) best = d[i - 1][j - 1] + cost;
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1] &&
          d[i - 2][j - 2] + 1 < best)
        best = d[i - 2][j - 2] + 1;
      d[i][j] = best;
    }
  }
  return d[n][m];
}

// "COPY<digits>_F" / "_T" and "DELETE_<digits>" with a number the updater does not read.
static const char* numbered_out_of_range(const char* folded, char* why, int size) {
  const char* p = folded;
  bool copy = strncmp(p, "COPY", 4) == 0, del = strncmp(p, "DELETE_", 7) == 0;
  if (!copy && !del) return nullptr;
  p += copy ? 4 : 7;
  const char* digits = p;
  while (*p >= '0' && *p <= '9') ++p;
  if (p == digits) return nullptr;
  if (copy && strcmp(p, "_F") != 0 && strcmp(p, "_T") != 0) return nullptr;
  if (del && *p) return nullptr;
  if (p - digits == 1 && *digits >= '1' && *digits <= '9') return nullptr;  // a real key in case
  if (copy) {
    snprintf(why, size, "the copy pairs are COPYPAK and COPY1 to COPY9 only");
    return p[1] == 'F' ? "COPY9_F" : "COPY9_T";
  }
  snprintf(why, size, "the deletions are DELETE_1 to DELETE_9 only");
  return "DELETE_9";
}

const char* near_updater_key(const char* token, char* why, int size) {
  if (!token[0] || find_updater_key(token) >= 0) return nullptr;
  char folded[FOLDED_SIZE];
  fold_copy(folded, token);
  const char* numbered = numbered_out_of_range(folded, why, size);
  if (numbered) return numbered;
  size_t length = strlen(folded);
  // A key cut short or lengthened at an underscore: COPYEXE_F for COPYEXE_F_NP.
  for (int i = 0; i < KEY_COUNT; ++i) {
    const char* key = g_keys[i].name;
    size_t key_length = strlen(key);
    const char* longer = length > key_length ? folded : key;
    size_t shorter = length > key_length ? key_length : length;
    if (shorter >= 6 && strncmp(folded, key, shorter) == 0 && longer[shorter] == '_') {
      snprintf(why, size, "the updater's key is %s", key);
      return key;
    }
  }
  int limit = length < SHORT_TOKEN ? 1 : NEAR_EDITS;
  int best = limit + 1;
  const char* nearest = nullptr;
  for (int i = 0; i < KEY_COUNT; ++i) {
    int d = edit_distance(folded, g_keys[i].name);
    if (d < best) {
      best = d;
      nearest = g_keys[i].name;
    }
  }
  if (!nearest) return nullptr;
  snprintf(why, size, "%d letter%s from %s", best, best == 1 ? "" : "s", nearest);
  return nearest;
}
