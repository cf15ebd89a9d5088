// The two names of the installation record's key: taken from "UPDATE.ENV" once, with their
// defaults, and whole however long the value is.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "env_table.h"
#include "install_record.h"
#include "env_text.h"

namespace {

TEST(InstallNames, DefaultsWhenTheKeysAreAbsent) {
  install_names_reset();
  load_env_text("APPTITLE t\n");
  EXPECT_STREQ("KESTRELX.INI", inifile_name());
  EXPECT_STREQ("WX7SYS_SEC", inisection_name());
}

// The names come from the first table asked, the defaults included: a table loaded later with
// other names changes neither.
TEST(InstallNames, TakenFromTheTableOnce) {
  const struct {
    const char* first;
    const char* inifile;
    const char* inisection;
  } cases[] = {
      {"inifile GAME.INI\nINISECTION\n", "GAME.INI", "0"},  // a key alone on the last line: "0"
      {"APPTITLE t\n", "KESTRELX.INI", "WX7SYS_SEC"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    install_names_reset();
    load_env_text(c.first);
    const char* first = inifile_name();
    EXPECT_STREQ(c.inifile, first);
    EXPECT_STREQ(c.inisection, inisection_name());
    load_env_text("INIFILE OTHER.INI\nINISECTION SEC\n");
    EXPECT_EQ(first, inifile_name());
    EXPECT_STREQ(c.inifile, inifile_name());
    EXPECT_STREQ(c.inisection, inisection_name());
  }
}

TEST(InstallNames, LongValuesAreUsedWhole) {
  install_names_reset();
  const std::string ini(71, 'I'), section(79, 'S');
  // The section name is the longest token a record can hold: a line of its own.
  load_env_text("INIFILE " + ini + "\nINISECTION\n" + section + "\n");
  EXPECT_EQ(ini, inifile_name());
  EXPECT_EQ(section, inisection_name());
}

}  // namespace
