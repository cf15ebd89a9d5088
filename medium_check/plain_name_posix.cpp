// The folder scan for a name in another letter case (Linux).
#include <dirent.h>
#include <cstdio>
#include <cstring>
#include "path_split.h"
#include "plain_name.h"
#include "sjis.h"

bool plain_name_in_other_case(const char* path, char* found, size_t size) {
  PathParts parts;
  split_path(path, &parts);
  char name[2 * PATH_TEXT_SIZE];
  snprintf(name, sizeof name, "%s%s", parts.base, parts.ext);
  char folder[2 * PATH_TEXT_SIZE], native[4096];
  snprintf(folder, sizeof folder, "%s%s", parts.drive, parts.dir[0] ? parts.dir : ".");
  if (posix_path(folder, native, sizeof native) != 0) return false;
  DIR* dir = opendir(native);
  if (!dir) return false;
  bool hit = false;
  while (const dirent* entry = readdir(dir)) {
    if (strcmp(entry->d_name, name) != 0 && sjis_icompare(entry->d_name, name) == 0) {
      snprintf(found, size, "%s%s", parts.dir, entry->d_name);
      hit = true;
      break;
    }
  }
  closedir(dir);
  return hit;
}
