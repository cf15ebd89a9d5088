// The two names of the installation record's key, taken from "UPDATE.ENV" once.
#include <cstring>
#include "env_defaults.h"
#include "env_table.h"
#include "install_record.h"

static struct {
  char inifile[INSTALL_NAME_SIZE];     // empty until the first request
  char inisection[INSTALL_NAME_SIZE];  // likewise
} names;

static const char* name_from_env(char* buffer, const char* key, const char* default_name) {
  if (!buffer[0] && env_string(key, buffer) != 0) {
    strncpy(buffer, default_name, INSTALL_NAME_SIZE - 1);
    buffer[INSTALL_NAME_SIZE - 1] = 0;
  }
  return buffer;
}

const char* inifile_name(void) { return name_from_env(names.inifile, "INIFILE", DEFAULT_INIFILE); }

const char* inisection_name(void) {
  return name_from_env(names.inisection, "INISECTION", DEFAULT_INISECTION);
}

void install_names_reset(void) { memset(&names, 0, sizeof names); }
