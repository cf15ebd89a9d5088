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

TEST(InstallNames, TakenFromTheTableOnce) {
  install_names_reset();
  load_env_text("inifile GAME.INI\nINISECTION\n");
  const char* first = inifile_name();
  EXPECT_STREQ("GAME.INI", first);
  EXPECT_STREQ("0", inisection_name());  // a key alone on the last line has the value 0
  load_env_text("INIFILE OTHER.INI\nINISECTION SEC\n");
  EXPECT_EQ(first, inifile_name());
  EXPECT_STREQ("GAME.INI", inifile_name());
  EXPECT_STREQ("0", inisection_name());
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
