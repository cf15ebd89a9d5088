// The update's step list from a description and the peak space its copies need: the order of
// the steps, the "NULL" rules, and a table of copies with their source and old target sizes.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "env_table.h"
#include "env_text.h"
#include "update_steps.h"

namespace {

const long long MIB = 1048576;

// "copy SOURCE>TARGET", "delete NAME", a "final " prefix for the configuration and save files.
std::vector<std::string> listed(const std::string& text) {
  load_env_text(text);
  static UpdateSteps steps;
  list_update_steps(&steps);
  std::vector<std::string> out;
  for (int i = 0; i < steps.count; i++) {
    const UpdateStep& s = steps.step[i];
    std::string line = s.final ? "final " : "";
    line += s.kind == STEP_COPY ? "copy " + std::string(s.source) + ">" : "delete ";
    out.push_back(line + s.target);
  }
  env_reset();
  return out;
}

TEST(UpdateSteps, OrderOfTheProcedure) {
  // Written out of order: the list follows the procedure, not the file.
  EXPECT_EQ(listed("DELSAVE 1\nSAVENAME SV\nCOPYEXE_F_NP G.EXE\nCOPYEXE_T GAME.EXE\n"
                   "DELETE_2 OLD2\nDELETE_1 GAME.EXE\nCOPY9_F B\nCOPY9_T X.DAT\n"
                   "COPY1_F A\nCOPY1_T X.DAT\nCOPYPAK_F P\nCOPYPAK_T P.PAK\n"
                   "DELCONFIG 1\nCONFIGNAME CFG\n"),
            std::vector<std::string>({"copy P>P.PAK", "copy A>X.DAT", "copy B>X.DAT",
                                      "delete GAME.EXE", "delete OLD2", "copy G.EXE>GAME.EXE",
                                      "final delete CFG.SAV", "final delete SV00.SAV",
                                      "final delete SV01.SAV", "final delete SV02.SAV",
                                      "final delete SV03.SAV", "final delete SV04.SAV",
                                      "final delete SV05.SAV", "final delete SV06.SAV",
                                      "final delete SV07.SAV", "final delete SV08.SAV",
                                      "final delete SV09.SAV", "final delete SV10.SAV"}));
}

// "NULL" skips a copy half or a deletion, in any case; the configuration and save names know
// no such rule. A lone half, a 0 switch or a missing name lists nothing.
TEST(UpdateSteps, NullRulesAndSkippedEntries) {
  EXPECT_EQ(listed("COPY1_F NULL\nCOPY1_T A\nCOPY2_F B\nCOPY2_T null\nCOPY3_F C\n"
                   "COPY4_T D\nCOPY5_F NULLS\nCOPY5_T E\nDELETE_1 NULL\nDELETE_2 Null\n"
                   "DELETE_3 NUL\nCOPYEXE_F_NP nUlL\nCOPYEXE_T G.EXE\n"
                   "DELCONFIG 1\nCONFIGNAME NULL\nDELSAVE 0\nSAVENAME SV\n"),
            std::vector<std::string>({"copy NULLS>E", "delete NUL", "final delete NULL.SAV"}));
  EXPECT_EQ(listed("DELCONFIG 1\nDELSAVE 1\nSAVENAME NULL\n").size(), 11u);
  EXPECT_EQ(listed("DELCONFIG 1\nDELSAVE 1\nSAVENAME NULL\n")[0], "final delete NULL00.SAV");
  EXPECT_TRUE(listed("DELCONFIG 1\nDELSAVE 1\n").empty());
  EXPECT_TRUE(listed("").empty());
}

// Every key used at once fills the table exactly.
TEST(UpdateSteps, EveryStepFits) {
  std::string text = "COPYPAK_F S\nCOPYPAK_T T\nCOPYEXE_F_NP S\nCOPYEXE_T T\n"
                     "DELCONFIG 1\nCONFIGNAME C\nDELSAVE 1\nSAVENAME S\n";
  for (int i = 1; i <= 9; i++)
    text += "COPY" + std::to_string(i) + "_F S\nCOPY" + std::to_string(i) + "_T T\nDELETE_" +
            std::to_string(i) + " D\n";
  EXPECT_EQ(listed(text).size(), (size_t)UPDATE_STEP_MAX);
}

struct PeakCase {
  const char* name;
  // One entry per step: "c" copy, "d" delete; target names; sizes in MiB (-1: none / unknown).
  std::vector<const char*> kinds, targets;
  std::vector<long long> source_mib, target_mib;
  long long peak_mib;
};

TEST(UpdateSteps, PeakOfTheCopies) {
  const PeakCase cases[] = {
      {"nothing to copy", {}, {}, {}, {}, 0},
      {"a new file", {"c"}, {"A"}, {3}, {-1}, 3},
      {"a replacement needs the whole new file", {"c"}, {"A"}, {500}, {800}, 500},
      {"a smaller replacement frees room for the next",
       {"c", "c"}, {"A", "B"}, {300, 600}, {500, -1}, 400},
      {"freed room covers a later copy", {"c", "c"}, {"A", "B"}, {300, 400}, {500, -1}, 300},
      {"growing replacements add up", {"c", "c"}, {"A", "B"}, {10, 20}, {4, 5}, 26},
      {"an unmeasurable source counts 0", {"c", "c"}, {"A", "B"}, {-1, 7}, {-1, -1}, 7},
      {"the second copy to a name replaces the first one's file, not the old one",
       {"c", "c", "c"}, {"X.DAT", "x.dat", "Z"}, {10, 4, 5}, {2, 2, -1}, 12},
      {"a deleted name holds nothing for the copy after it",
       {"d", "c", "c"}, {"GAME.EXE", "GAME.EXE", "Z"}, {-1, 6, 10}, {50, 50, -1}, 16},
      {"a deletion frees nothing", {"c", "d", "c"}, {"A", "OLD", "B"}, {1, -1, 8},
       {-1, 100, -1}, 9},
  };
  for (const PeakCase& c : cases) {
    SCOPED_TRACE(c.name);
    static UpdateSteps steps;
    steps.count = (int)c.kinds.size();
    long long sources[UPDATE_STEP_MAX], targets[UPDATE_STEP_MAX];
    for (int i = 0; i < steps.count; i++) {
      UpdateStep& s = steps.step[i];
      s.kind = c.kinds[i][0] == 'c' ? STEP_COPY : STEP_DELETE;
      s.final = 0;
      snprintf(s.source, sizeof s.source, "src%d", i);
      snprintf(s.target, sizeof s.target, "%s", c.targets[i]);
      sources[i] = c.source_mib[i] < 0 ? -1 : c.source_mib[i] * MIB;
      targets[i] = c.target_mib[i] < 0 ? -1 : c.target_mib[i] * MIB;
    }
    EXPECT_EQ(update_peak_bytes(&steps, sources, targets), (unsigned long long)(c.peak_mib * MIB));
  }
}

// The room kept free: the peak rounded up to whole MiB, plus 5 MiB.
TEST(UpdateSteps, RoomForTheUpdate) {
  struct Case {
    int free_mib;
    unsigned long long peak;
    int room;
  } cases[] = {
      {5, 0, 1},  {4, 0, 0},           {6, 1, 1},          {5, 1, 0},
      {6, 1048576, 1}, {6, 1048577, 0}, {7, 1048577, 1},  {-1, 0, 0},
      {2147483647, 2147483642ull * 1048576, 1}, {2147483647, 2147483643ull * 1048576, 0},
      {2147483647, ~0ull - 1048575, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(room_for_update(c.free_mib, c.peak), c.room) << c.free_mib << " " << c.peak;
}

}  // namespace
