// Fuzz target: the input is an "UPDATE.ENV" file. It is loaded into the EnvTable through a
// stream, and every key the updater reads, and every key stored, is looked up with the
// string and integer lookups. Results are checked against a model of the table, and the
// 80-byte destination against writes beyond its end.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "env_table.h"
#include "sjis.h"
#include "text_number.h"
#include "fuzz_check.h"

namespace {

const char* const kProgramKeys[] = {
    "APPTITLE", "APPNAME",  "README",  "INIFILE",  "INISECTION", "SAVEISSAFE", "DELCONFIG",
    "DELSAVE",  "CONFIGNAME", "SAVENAME", "COPYPAK_F", "COPYPAK_T", "COPY1_F", "COPY1_T",
    "COPY2_F",  "COPY2_T",  "COPY3_F", "COPY3_T",  "COPY4_F",    "COPY4_T",    "COPY5_F",
    "COPY5_T",  "COPY6_F",  "COPY6_T", "COPY7_F",  "COPY7_T",    "COPY8_F",    "COPY8_T",
    "COPY9_F",  "COPY9_T",  "DELETE_1", "DELETE_2", "DELETE_3",  "DELETE_4",   "DELETE_5",
    "DELETE_6", "DELETE_7", "DELETE_8", "DELETE_9", "COPYEXE_F_NP", "COPYEXE_T"};

// ---- the model: the text as a Windows text-mode stream gives it, cut into stored lines ----

struct Model {
  std::vector<char> table = std::vector<char>(ENV_RECORDS * ENV_RECORD_SIZE, 0);
  int records = 0;
};

Model model_of(const uint8_t* data, size_t size) {
  std::string text;
  for (size_t i = 0; i < size && data[i] != 0x1A; ++i) {
    if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') continue;  // CR LF -> LF
    text += char(data[i]);
  }
  Model m;
  size_t pos = 0;
  while (pos < text.size() && m.records < ENV_RECORDS) {
    size_t end = pos;
    while (end < text.size() && end - pos < ENV_RECORD_SIZE - 1) {
      if (text[end++] == '\n') break;
    }
    std::string line = text.substr(pos, end - pos);
    pos = end;
    unsigned char first = static_cast<unsigned char>(line[0]);
    if (first < 0x20 || first == '/') continue;
    char* record = &m.table[size_t(m.records++) * ENV_RECORD_SIZE];
    for (size_t i = 0; i < line.size(); ++i)
      record[i] = static_cast<unsigned char>(line[i]) <= 0x20 ? 0 : line[i];
  }
  return m;
}

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

// The value of `key` in the model; false when the key is not stored.
bool model_value(const Model& m, const std::string& key, std::string* value) {
  if (key.empty()) return false;
  for (int r = 0; r < ENV_RECORDS; ++r) {
    const char* record = &m.table[size_t(r) * ENV_RECORD_SIZE];
    if (lower(record) != lower(key)) continue;
    size_t limit = std::min<size_t>(ENV_VALUE_REACH, size_t(ENV_RECORDS - r) * ENV_RECORD_SIZE);
    size_t p = strlen(record);
    while (p < limit && !record[p]) ++p;
    *value = p < limit ? std::string(record + p) : "0";
    return true;
  }
  return false;
}

// The "|" rule: bars become spaces, the second byte of a double-byte character never does.
std::string unbar(std::string s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (is_sjis_lead_byte(static_cast<unsigned char>(s[i])))
      ++i;
    else if (s[i] == '|')
      s[i] = ' ';
  }
  return s;
}

void check_key(const Model& m, const std::string& key) {
  enum { GUARD = 16 };
  char buffer[ENV_RECORD_SIZE + GUARD];
  memset(buffer, 0xA5, sizeof buffer);
  int rc = env_string(key.c_str(), buffer);
  for (size_t i = rc == 0 ? ENV_RECORD_SIZE : 0; i < sizeof buffer; ++i)
    CHECK(static_cast<unsigned char>(buffer[i]) == 0xA5);  // absent: nothing written at all
  std::string value;
  bool found = model_value(m, key, &value);
  CHECK(rc == (found ? 0 : -1));
  if (found) {
    CHECK(memchr(buffer, 0, ENV_RECORD_SIZE) != nullptr);
    CHECK(std::string(buffer) == unbar(value));
    CHECK(env_int0(key.c_str()) == text_atoi(value.c_str()));
  } else {
    CHECK(env_int(key.c_str(), -77) == -77);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    env_reset();
  } else {
    FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    CHECK(stream != nullptr);
    env_load_stream(stream);
    fclose(stream);
  }
  Model m = model_of(data, size);
  CHECK(memcmp(env_record(0), m.table.data(), m.table.size()) == 0);
  for (const char* key : kProgramKeys) check_key(m, key);
  for (int r = 0; r < m.records; ++r) check_key(m, &m.table[size_t(r) * ENV_RECORD_SIZE]);
  return 0;
}
