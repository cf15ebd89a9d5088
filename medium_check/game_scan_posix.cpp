// Scanning the game folder on Linux, with the attributes Wine would show: the archive bit on
// every file, read-only for a file without its owner's write permission, hidden for a name
// that starts with a dot.
#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <climits>
#include <cstdlib>
#include <cstring>
#include "console_text.h"
#include "game_folder.h"
#include "game_scan.h"

enum { SCAN_DEPTH_MAX = 32, NATIVE_PATH_SIZE = 4096 };

FILE* open_utf8_file(const char* path, const char* mode) { return fopen(path, mode); }

static uint64_t file_hash(const char* path) {
  FILE* file = fopen(path, "rb");
  if (!file) return 0;
  uint64_t size, hash;
  content_hash_file(file, &size, &hash);
  fclose(file);
  return hash;
}

// Scans the folder `native` whose name below the game folder is `relative` ("" at the top).
static void scan_into(const char* native, const char* relative, int depth) {
  DIR* dir = opendir(native);
  if (!dir) return;
  while (struct dirent* item = readdir(dir)) {
    if (strcmp(item->d_name, ".") == 0 || strcmp(item->d_name, "..") == 0) continue;
    char path[NATIVE_PATH_SIZE], shown[GAME_NAME_SIZE], name[GAME_NAME_SIZE];
    struct stat st;
    snprintf(path, sizeof path, "%s/%s", native, item->d_name);
    if (stat(path, &st) != 0) continue;
    snprintf(shown, sizeof shown, "%s%s%s", relative, relative[0] ? "\\" : "", item->d_name);
    if (console_utf8_to_cp932(shown, name, sizeof name) < 0) name[0] = 0;
    uint32_t attributes = item->d_name[0] == '.' ? GAME_HIDDEN : 0;
    if (S_ISDIR(st.st_mode)) {
      game_put(name, shown, attributes | GAME_FOLDER, 0, 0);
      if (depth < SCAN_DEPTH_MAX) scan_into(path, shown, depth + 1);
    } else if (S_ISREG(st.st_mode)) {
      attributes |= GAME_ARCHIVE;
      if (!(st.st_mode & S_IWUSR)) attributes |= GAME_READONLY;
      game_put(name, shown, attributes, (uint64_t)st.st_size, file_hash(path));
    }
  }
  closedir(dir);
}

int scan_game_folder(const char* folder) {
  game_folder_reset();
  struct stat st;
  if (stat(folder, &st) != 0 || !S_ISDIR(st.st_mode)) return -1;
  scan_into(folder, "", 0);
  return 0;
}

int game_folder_free_mib(const char* folder) {
  struct statvfs vfs;
  if (statvfs(folder, &vfs) != 0) return -1;
  unsigned long long mib = (unsigned long long)vfs.f_bavail * vfs.f_frsize / 1048576ull;
  return mib > INT_MAX ? INT_MAX : (int)mib;
}

int game_folder_units(const char* folder) {
  char* full = realpath(folder, nullptr);
  if (!full) return -1;
  int units = 2;  // "Z:"
  for (const unsigned char* p = (const unsigned char*)full; *p; p++) {
    if ((*p & 0xC0) != 0x80) units++;  // a character starts
    if ((*p & 0xF8) == 0xF0) units++;  // beyond the BMP: a surrogate pair
  }
  free(full);
  return units;
}
