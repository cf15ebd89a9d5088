// The EnvTable: which lines are stored, how keys are found and values taken, the "|" rule with
// double-byte characters, the 200-record limit, text-mode reading, and atoi's rules. Runs
// natively and under Wine.
#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "env_table.h"
#include "text_number.h"
#include "env_text.h"

namespace {

const char kKept[] = "kept";

// env_string's result: the value, or "-1:" and what the destination still holds. Checks that
// nothing is written beyond the 80 bytes.
std::string lookup(const char* key) {
  char buffer[ENV_RECORD_SIZE + 8];
  memset(buffer, '#', sizeof buffer);
  memcpy(buffer, kKept, sizeof kKept);
  int rc = env_string(key, buffer);
  for (size_t i = ENV_RECORD_SIZE; i < sizeof buffer; ++i) EXPECT_EQ('#', buffer[i]) << key;
  EXPECT_TRUE(rc == 0 || rc == -1);
  return rc == 0 ? std::string(buffer) : "-1:" + std::string(buffer);
}

const std::string k76(76, 'a');

struct EnvCase {
  const char* what;
  std::string text;
  const char* key;
  std::string value;  // env_string's result as lookup() gives it
  int number;         // env_int(key, 7)
};

const EnvCase kCases[] = {
    {"comment, empty and tab-led lines take no record", "/APPNAME a\n\n\tAPPNAME b\nAPPNAME c\n",
     "APPNAME", "c", 0},
    {"a key alone takes the next line's key", "APPTITLE\nAPPNAME x\n", "APPTITLE", "APPNAME", 0},
    {"a space-led line supplies the value of the key before it", "DELSAVE\n 12 x\n", "DELSAVE",
     "12", 12},
    {"the empty key is never found", " 12 x\n", "", "-1:kept", 7},
    {"a key alone on the last line gives 0", "A 1\nDELSAVE\n", "DELSAVE", "0", 0},
    {"trailing separators are no value", "DELSAVE \t \n", "DELSAVE", "0", 0},
    {"the first of two equal keys wins", "SAVENAME A\nSAVENAME B\n", "SAVENAME", "A", 0},
    {"keys compare without regard to case", "savename s1\n", "SaveName", "s1", 0},
    {"an equals sign joins key and value into one token", "DELSAVE=1\n", "DELSAVE", "-1:kept", 7},
    {"the joined token is a key of its own", "DELSAVE=1\n", "delsave=1", "0", 0},
    {"a bar stands for a space", "APPTITLE New|Game|\n", "APPTITLE", "New Game ", 0},
    {"a number stops at a bar", "DELSAVE 1|2\n", "DELSAVE", "1 2", 1},
    {"a value stops at a tab", "SAVEISSAFE -12\tx\n", "SAVEISSAFE", "-12", -12},
    {"a word is the number 0", "SAVEISSAFE yes\n", "SAVEISSAFE", "yes", 0},
    {"a number too large for an int saturates", "DELSAVE 99999999999\n", "DELSAVE", "99999999999",
     INT_MAX},
    // Double-byte characters whose second byte is 0x7C keep it; bars after them still change.
    {"katakana po keeps its second byte", "APPTITLE \x83\x7C|\x83\x67\n", "APPTITLE",
     "\x83\x7C \x83\x67", 0},
    {"fullwidth minus keeps its second byte", "APPTITLE 1\x81\x7C|2\n", "APPTITLE",
     "1\x81\x7C 2", 1},
    {"a half-width katakana is one byte", "APPTITLE \xB1|\n", "APPTITLE", "\xB1 ", 0},
    {"a lead byte at the end of the value", "APPTITLE a|\x83\n", "APPTITLE", "a \x83", 0},
    {"a line of 79 characters is one record", "K1 " + k76 + "\nK2 v\n", "K1", k76, 0},
    {"the rest of a longer line is read as the next line", "K1 " + k76 + "K2 v\n", "K2", "v", 0},
    {"the rest of a long line is skipped when it starts with a slash",
     "K1 " + k76 + "/K2 v\n", "K2", "-1:kept", 7},
    {"the rest of a long line, space-led, gives the empty key", "K1 " + k76 + " v\n", "K1", k76, 0},
    {"a value of 79 characters from the next record", "APPTITLE\n" + std::string(79, 'z') + "\n",
     "APPTITLE", std::string(79, 'z'), 0},
    // The value is searched up to 200 bytes from the found record's start.
    {"a value starting at byte 199 is found", "K\n \n" + std::string(39, ' ') + "V\n", "K", "V", 0},
    {"a value starting at byte 200 is out of reach", "K\n \n" + std::string(40, ' ') + "V\n", "K",
     "0", 0},
    {"CR LF ends a line", "APPTITLE a\r\nAPPNAME b\r\n", "APPTITLE", "a", 0},
    {"a lone CR separates", "APPTITLE a\rb\n", "APPTITLE", "a", 0},
    {"Ctrl-Z ends the text", "APPTITLE a\n\x1A" "README r\n", "README", "-1:kept", 7},
    {"a NUL byte separates", std::string("APPNAME\0x y\n", 12), "APPNAME", "x", 0},
    {"an absent key leaves the destination alone", "APPTITLE a\n", "README", "-1:kept", 7},
};

TEST(EnvTable, LookupCases) {
  for (const EnvCase& c : kCases) {
    SCOPED_TRACE(c.what);
    load_env_text(c.text);
    EXPECT_EQ(c.value, lookup(c.key));
    EXPECT_EQ(c.number, env_int(c.key, 7));
  }
}

TEST(EnvTable, AbsentKeyLeavesEveryByteOfTheDestination) {
  load_env_text("APPTITLE a\n");
  char buffer[ENV_RECORD_SIZE], before[ENV_RECORD_SIZE];
  for (int i = 0; i < ENV_RECORD_SIZE; ++i) buffer[i] = static_cast<char>(0x80 + i);
  memcpy(before, buffer, sizeof buffer);
  EXPECT_EQ(-1, env_string("APPNAME", buffer));
  EXPECT_EQ(0, memcmp(before, buffer, sizeof buffer));
  EXPECT_EQ(0, env_int0("APPNAME"));
}

TEST(EnvTable, NothingIsFoundBeforeLoading) {
  env_reset();
  EXPECT_EQ("-1:kept", lookup("APPTITLE"));
  EXPECT_EQ(-5, env_int("APPTITLE", -5));
}

std::string numbered_lines(int count, int key_only_at) {
  std::string text = "/ header comment\n";
  for (int i = 1; i <= count; ++i) {
    text += "K" + std::to_string(i);
    if (i != key_only_at) text += " " + std::to_string(i);
    text += "\n";
    if (i % 50 == 0) text += "\n";  // blank lines take no record
  }
  return text;
}

TEST(EnvTable, TwoHundredRecordsAreKept) {
  load_env_text(numbered_lines(201, 0));
  EXPECT_EQ(1, env_int0("K1"));
  EXPECT_EQ(200, env_int0("K200"));
  EXPECT_EQ("-1:kept", lookup("K201"));
  EXPECT_STREQ("K200", env_record(ENV_RECORDS - 1));

  // A key alone in the last record, and in the one before it: the search stops at the end
  // of the table.
  load_env_text(numbered_lines(200, 200));
  EXPECT_EQ("0", lookup("K200"));
  load_env_text(numbered_lines(200, 199));
  EXPECT_EQ("K200", lookup("K199"));
}

TEST(EnvTable, RecordsHoldTokensSeparatedByNuls) {
  load_env_text("APPNAME a\tb|c\n");
  const char expected[ENV_RECORD_SIZE] = "APPNAME\0a\0b|c";
  EXPECT_EQ(0, memcmp(expected, env_record(0), ENV_RECORD_SIZE));
  const char zero[ENV_RECORD_SIZE] = {0};
  EXPECT_EQ(0, memcmp(zero, env_record(1), ENV_RECORD_SIZE));
}

// The stream loader reads the file's bytes as a Windows text-mode stream, on every platform.
TEST(EnvTable, LoadsFromABinaryStream) {
  const char path[] = "env_table_stream.env";
  const char bytes[] = "APPTITLE a\r\nAPPNAME\r\nDELSAVE 3\r\r\n\x1A" "README r\n";
  FILE* out = fopen(path, "wb");
  ASSERT_NE(nullptr, out);
  fwrite(bytes, 1, sizeof bytes - 1, out);
  fclose(out);
  FILE* in = fopen(path, "rb");
  ASSERT_NE(nullptr, in);
  env_load_stream(in);
  fclose(in);
  remove(path);
  EXPECT_EQ("a", lookup("APPTITLE"));
  EXPECT_EQ("DELSAVE", lookup("APPNAME"));
  EXPECT_EQ(3, env_int0("DELSAVE"));
  EXPECT_EQ("-1:kept", lookup("README"));
}

// The observer sees every line as read, before its separators become NULs, with the record
// it went to (-1 for a line that takes none), the halves of a split line one by one, and
// nothing past the 200th record.
struct SeenLine {
  std::string line;
  int record;
};

void remember_line(void* context, const char* line, int record) {
  static_cast<std::vector<SeenLine>*>(context)->push_back({line, record});
}

TEST(EnvTable, ObserverSeesEveryLineAndItsRecord) {
  std::vector<SeenLine> seen;
  set_env_line_observer(remember_line, &seen);
  load_env_text("/note\nA 1\n\n B\n" + std::string(78, 'x') + "yz\n");
  set_env_line_observer(nullptr, nullptr);
  ASSERT_EQ(6u, seen.size());
  EXPECT_EQ("/note\n", seen[0].line);
  EXPECT_EQ(-1, seen[0].record);
  EXPECT_EQ("A 1\n", seen[1].line);
  EXPECT_EQ(0, seen[1].record);
  EXPECT_EQ(-1, seen[2].record);
  EXPECT_EQ(" B\n", seen[3].line);
  EXPECT_EQ(1, seen[3].record);
  EXPECT_EQ(std::string(78, 'x') + "y", seen[4].line);  // 79 bytes, no line feed
  EXPECT_EQ(2, seen[4].record);
  EXPECT_EQ("z\n", seen[5].line);
  EXPECT_EQ(3, seen[5].record);

  seen.clear();
  std::string many;
  for (int i = 0; i < ENV_RECORDS + 3; ++i) many += "K" + std::to_string(i) + "\n";
  set_env_line_observer(remember_line, &seen);
  load_env_text(many);
  set_env_line_observer(nullptr, nullptr);
  ASSERT_EQ(size_t(ENV_RECORDS), seen.size());
  EXPECT_EQ(ENV_RECORDS - 1, seen.back().record);

  seen.clear();
  load_env_text("A 1\n");  // no observer: nothing is told
  EXPECT_TRUE(seen.empty());
}

TEST(TextAtoi, FollowsAtoi) {
  struct {
    const char* text;
    int value;
  } cases[] = {
      {"1", 1},         {"-1", -1},       {"+2", 2},        {"", 0},
      {"abc", 0},       {"1abc", 1},      {" \t\n\v\f\r42", 42}, {"- 1", 0},
      {"--1", 0},       {"0x10", 0},      {"007", 7},       {"2147483647", INT_MAX},
      {"2147483648", INT_MAX}, {"-2147483648", INT_MIN}, {"-2147483649", INT_MIN},
      {"99999999999999999999999", INT_MAX}, {"\xA0" "5", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value, text_atoi(c.text)) << "[" << c.text << "]";
}

}  // namespace
