// Source and archive path forming, with double-byte-aware splitting.
#include "archive_path.h"
#include <cstring>
#include "path_split.h"

// Appends `text` to `out` (holding `*used` bytes); returns -1 when it does not fit.
static int append(char* out, size_t size, size_t* used, const char* text) {
  size_t len = strlen(text);
  size_t room = size - 1 - *used;
  size_t n = len < room ? len : room;
  memcpy(out + *used, text, n);
  *used += n;
  out[*used] = 0;
  return n == len ? 0 : -1;
}

int join_path(char* out, size_t size, const char* dir, const char* name, char separator) {
  size_t used = 0;
  out[0] = 0;
  if (dir[0] == 0) return append(out, size, &used, name);
  PathParts parts;
  split_path(name, &parts);
  char sep[2] = {separator, 0};
  int rc = append(out, size, &used, dir);
  // Checked per character: a directory ending in a double-byte character whose second
  // byte is 0x5C (such as "ソ") still needs its separator.
  if (!ends_with_separator(dir)) rc |= append(out, size, &used, sep);
  rc |= append(out, size, &used, parts.base);
  rc |= append(out, size, &used, parts.ext);
  return rc;
}

int make_archive_name(char* out, size_t size, const char* tag_path, char separator) {
  size_t used = 0;
  out[0] = 0;
  int rc = 0;
  if (tag_path[0] == '@') {
    rc |= append(out, size, &used, "@");
    ++tag_path;
  }
  if (tag_path[0] == '"') ++tag_path;
  PathParts parts;
  split_path(tag_path, &parts);
  if (parts.base[0] == 0) {
    used = 0;  // the whole result is the path itself, without the "@"
    return append(out, size, &used, tag_path);
  }
  size_t base_len = strlen(parts.base);
  if (parts.base[base_len - 1] == '.') parts.base[base_len - 1] = 0;
  rc |= append(out, size, &used, parts.drive);
  rc |= append(out, size, &used, parts.dir);
  if (parts.dir[0] && !ends_with_separator(parts.dir)) {
    char sep[2] = {separator, 0};
    rc |= append(out, size, &used, sep);
  }
  rc |= append(out, size, &used, parts.base);
  rc |= append(out, size, &used, ".PAK");
  return rc;
}
