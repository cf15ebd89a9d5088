// The dry run on small game folders held in the table: each case names the folder's files,
// the medium's sources and the description, and expects every step's outcome, the end and
// the folder's state afterwards. Sources come from memory, so nothing touches the disk.
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>
#include "dry_run.h"
#include "env_table.h"
#include "env_text.h"
#include "game_folder.h"

namespace {

const uint32_t A = GAME_ARCHIVE, R = GAME_READONLY | GAME_ARCHIVE, D = GAME_FOLDER;

struct GameFile {
  const char* name;
  uint32_t attributes;
  const char* data;  // null for a folder
};

std::map<std::string, std::string> g_sources;  // the medium's files for the probe

uint64_t hash_of(const std::string& data) {
  return content_hash(CONTENT_HASH_START, data.data(), data.size());
}

int memory_source(const char* source, uint64_t* size, uint64_t* hash) {
  auto it = g_sources.find(source);
  if (it == g_sources.end()) return -1;
  *size = it->second.size();
  *hash = hash_of(it->second);
  return 0;
}

struct DryCase {
  const char* name;
  std::vector<GameFile> game;
  std::map<std::string, std::string> sources;
  std::string env;
  std::vector<DryOutcome> outcomes;  // one per step of the list, in order
  DryEnd end;
  std::vector<std::string> after;    // "NAME ATTR DATA" per entry, "NAME folder" for folders
  int free_mib = -1;
  int folder_units = 20;
};

void PrintTo(const DryCase& c, std::ostream* os) { *os << c.name; }

// The folder as "NAME ATTR DATA" lines in the prediction's order, the data found back by its
// hash among the texts the case uses.
std::vector<std::string> folder_state(const DryCase& c) {
  std::vector<std::string> texts;
  for (const GameFile& f : c.game)
    if (f.data) texts.push_back(f.data);
  for (const auto& s : c.sources) texts.push_back(s.second);
  std::vector<int> order(size_t(game_entry_count()) + 1);
  game_sorted_order(order.data());
  std::vector<std::string> lines;
  for (int i = 0; i < game_entry_count(); ++i) {
    const GameEntry* e = game_entry(order[size_t(i)]);
    if (e->attributes & GAME_FOLDER) {
      lines.push_back(std::string(e->shown) + " folder");
      continue;
    }
    std::string data = "?";
    for (const std::string& t : texts)
      if (hash_of(t) == e->hash && t.size() == e->size) data = t;
    const char* attr = e->attributes == A ? "A" : e->attributes == R ? "RA" : "other";
    lines.push_back(std::string(e->shown) + " " + attr + " " + data);
  }
  return lines;
}

const DryCase kCases[] = {
    {"NewReplacedAndReadOnlyReplaced",
     {{"OLD.DAT", A, "old"}, {"RO.DAT", R, "ro"}},
     {{"N", "new"}},
     "COPY1_F N\nCOPY1_T NEW.DAT\nCOPY2_F N\nCOPY2_T OLD.DAT\nCOPY3_F N\nCOPY3_T RO.DAT\n",
     {DRY_COPIED_NEW, DRY_REPLACED, DRY_READONLY_REPLACED},
     DRY_END_MINIOK,
     {"NEW.DAT A new", "OLD.DAT A new", "RO.DAT A new"}},
    // The failing pair leaves its target as it was; the rest still runs, the saves stay.
    {"MissingSourceFailsButTheRestRuns",
     {{"A.DAT", A, "a"}, {"GONE.DAT", A, "g"}, {"SAVE00.SAV", A, "s"}},
     {{"N", "new"}},
     "COPY3_F MISSING\nCOPY3_T A.DAT\nCOPY4_F N\nCOPY4_T B.DAT\nDELETE_1 GONE.DAT\n"
     "DELSAVE 1\nSAVENAME SAVE\n",
     {DRY_FAIL_SOURCE_MISSING, DRY_COPIED_NEW, DRY_DELETED, DRY_NOT_RUN, DRY_NOT_RUN, DRY_NOT_RUN,
      DRY_NOT_RUN, DRY_NOT_RUN, DRY_NOT_RUN, DRY_NOT_RUN, DRY_NOT_RUN, DRY_NOT_RUN, DRY_NOT_RUN,
      DRY_NOT_RUN},
     DRY_END_FAILED,
     {"A.DAT A a", "B.DAT A new", "SAVE00.SAV A s"}},
    // No folder is created; a folder part is found in any letter case and keeps its spelling;
    // a file where a folder should be is no folder.
    {"TargetFolders",
     {{"Data", D, nullptr}, {"FILE", A, "f"}},
     {{"N", "new"}},
     "COPY1_F N\nCOPY1_T NONE\\X.DAT\nCOPY2_F N\nCOPY2_T DATA\\X.DAT\nCOPY3_F N\nCOPY3_T FILE\\X.DAT\n"
     "COPY4_F N\nCOPY4_T data\nCOPY5_F N\nCOPY5_T NONE\\..\\Y.DAT\n",
     {DRY_FAIL_NO_FOLDER, DRY_COPIED_NEW, DRY_FAIL_NO_FOLDER, DRY_FAIL_IS_FOLDER, DRY_COPIED_NEW},
     DRY_END_FAILED,
     {"Data folder", "Data\\X.DAT A new", "FILE A f", "Y.DAT A new"}},
    {"DeletionsAbsentAndKept",
     {{"RO.DAT", R, "ro"}, {"DIR", D, nullptr}, {"X.DAT", A, "x"}},
     {},
     "DELETE_1 ABSENT.DAT\nDELETE_2 RO.DAT\nDELETE_3 DIR\nDELETE_4 x.dat\nDELETE_5 NULL\n",
     {DRY_ABSENT, DRY_KEPT_READONLY, DRY_KEPT_FOLDER, DRY_DELETED},
     DRY_END_MINIOK,
     {"DIR folder", "RO.DAT RA ro"}},
    // After full success: the configuration file and the eleven save files, read-only kept.
    {"ConfigurationAndSavesAfterSuccess",
     {{"CFG.SAV", A, "c"}, {"SV00.SAV", A, "0"}, {"SV07.SAV", R, "7"}, {"SV10.SAV", A, "10"},
      {"SV11.SAV", A, "11"}},
     {{"N", "new"}},
     "COPY1_F N\nCOPY1_T N.DAT\nDELCONFIG 1\nCONFIGNAME CFG\nDELSAVE 1\nSAVENAME SV\n",
     {DRY_COPIED_NEW, DRY_DELETED, DRY_DELETED, DRY_ABSENT, DRY_ABSENT, DRY_ABSENT, DRY_ABSENT,
      DRY_ABSENT, DRY_ABSENT, DRY_KEPT_READONLY, DRY_ABSENT, DRY_ABSENT, DRY_DELETED},
     DRY_END_MINIOK,
     {"N.DAT A new", "SV07.SAV RA 7", "SV11.SAV A 11"}},
    // The procedure's order whatever the lines' order: copies, deletions, the executable.
    {"DeletedExecutableComesBackNew",
     {{"GAME.EXE", A, "old"}},
     {{"EXE", "exe"}},
     "COPYEXE_F_NP EXE\nCOPYEXE_T GAME.EXE\nDELETE_1 GAME.EXE\n",
     {DRY_DELETED, DRY_COPIED_NEW},
     DRY_END_MINIOK,
     {"GAME.EXE A exe"}},
    {"TheLaterPairWins",
     {{"X.DAT", A, "old"}},
     {{"ONE", "one"}, {"NINE", "nine"}},
     "COPY9_F NINE\nCOPY9_T X.DAT\nCOPY1_F ONE\nCOPY1_T X.DAT\n",
     {DRY_REPLACED, DRY_REPLACED},
     DRY_END_MINIOK,
     {"X.DAT A nine"}},
    {"ADeletionComesAfterTheCopies",
     {{"Y.DAT", A, "old"}},
     {{"ONE", "one"}},
     "DELETE_1 Y.DAT\nCOPY4_F ONE\nCOPY4_T Y.DAT\n",
     {DRY_REPLACED, DRY_DELETED},
     DRY_END_MINIOK,
     {}},
    // One file whatever the letter case; a replaced file keeps its spelling on disk.
    {"NamesMatchWithoutCase",
     {{"Game.Exe", A, "old"}, {"old.dat", A, "o"}, {"ｓａｖｅ.DAT", A, "w"}},
     {{"EXE", "exe"}},
     "COPYEXE_F_NP EXE\nCOPYEXE_T GAME.EXE\nDELETE_1 OLD.DAT\nDELETE_2 ＳＡＶＥ.dat\n",
     {DRY_DELETED, DRY_DELETED, DRY_REPLACED},
     DRY_END_MINIOK,
     {"Game.Exe A exe"}},
    // 1 MiB to copy needs 1 + 5 MiB free: with 5 the updater refuses and changes nothing.
    {"TooLittleSpace",
     {{"A.DAT", A, "a"}},
     {{"BIG", std::string(1048576, 'b')}},
     "COPY1_F BIG\nCOPY1_T A.DAT\nDELETE_1 A.DAT\n",
     {DRY_NOT_RUN, DRY_NOT_RUN},
     DRY_END_MOREDISKFREE,
     {"A.DAT A a"},
     5},
    {"JustEnoughSpace",
     {{"A.DAT", A, "a"}},
     {{"BIG", std::string(1048576, 'b')}},
     "COPY1_F BIG\nCOPY1_T B.DAT\n",
     {DRY_COPIED_NEW},
     DRY_END_MINIOK,
     {"A.DAT A a", "B.DAT A " + std::string(1048576, 'b')},
     6},
    // folder (247 units) + "\" + 12 = 260: too long; 11 fits. The temporary file
    // ("~XXXXXX.tmp", 11 units) in the folder part "DD\" would not fit, though "DD\1" does.
    {"PathsTooLong",
     {{"DD", D, nullptr}},
     {{"N", "new"}},
     "COPY1_F N\nCOPY1_T 123456789012\nCOPY2_F N\nCOPY2_T 12345678901\nCOPY3_F N\nCOPY3_T DD\\1\n",
     {DRY_FAIL_TOO_LONG, DRY_COPIED_NEW, DRY_FAIL_TOO_LONG},
     DRY_END_FAILED,
     {"12345678901 A new", "DD folder"},
     -1,
     247},
    {"OutsideAndRefusedNames",
     {},
     {{"N", "new"}},
     "COPY1_F N\nCOPY1_T ..\\X.DAT\nCOPY2_F N\nCOPY2_T A?B\nDELETE_1 ..\\..\\Y\n",
     {DRY_OUTSIDE, DRY_FAIL_TARGET_NAME, DRY_OUTSIDE},
     DRY_END_FAILED,
     {}},
};

class DryRunCase : public ::testing::TestWithParam<DryCase> {};

TEST_P(DryRunCase, PredictsEveryStepAndTheEnd) {
  const DryCase& c = GetParam();
  game_folder_reset();
  for (const GameFile& f : c.game) {
    std::string data = f.data ? f.data : "";
    game_put(f.name, f.name, f.attributes, f.data ? data.size() : 0, f.data ? hash_of(data) : 0);
  }
  g_sources = c.sources;
  set_dry_source_probe(memory_source);
  load_env_text(c.env);
  DrySettings settings = {c.folder_units, c.free_mib};
  EXPECT_EQ(c.end, run_dry(&settings));
  const DryRun* run = dry_run();
  std::vector<DryOutcome> outcomes;
  for (int i = 0; i < run->steps.count; ++i) outcomes.push_back(run->result[i].outcome);
  EXPECT_EQ(c.outcomes, outcomes);
  EXPECT_EQ(c.after, folder_state(c));
  env_reset();
  set_dry_source_probe(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Folders, DryRunCase, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DryCase>& p) { return std::string(p.param.name); });

}  // namespace
