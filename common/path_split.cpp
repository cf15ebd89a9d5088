// Path splitting with double-byte awareness: a trail byte equal to "\", "/" or "." never
// counts as a separator or a dot.
#include "path_split.h"
#include <cstring>
#include "sjis.h"

size_t copy_text(char* dst, size_t size, const char* src, size_t src_len) {
  size_t n = src_len < size - 1 ? src_len : size - 1;
  memcpy(dst, src, n);
  dst[n] = 0;
  return n;
}

static int is_separator(unsigned char c) { return c == '\\' || c == '/'; }

void split_path(const char* path, PathParts* parts) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(path);
  size_t len = strlen(path);
  size_t start = 0;
  if (len >= 2 && p[1] == ':') start = 2;
  copy_text(parts->drive, sizeof parts->drive, path, start);

  // One walk finds the last separator and the last dot, stepping over double-byte characters.
  size_t dir_end = start;  // index just past the last separator
  size_t last_dot = len;   // len: no dot seen after the directory
  for (size_t i = start; i < len;) {
    if (is_sjis_lead_byte(p[i]) && i + 1 < len) {
      i += 2;
      continue;
    }
    if (is_separator(p[i])) {
      dir_end = i + 1;
      last_dot = len;
    } else if (p[i] == '.') {
      last_dot = i;
    }
    ++i;
  }
  copy_text(parts->dir, sizeof parts->dir, path + start, dir_end - start);
  copy_text(parts->base, sizeof parts->base, path + dir_end, last_dot - dir_end);
  copy_text(parts->ext, sizeof parts->ext, path + last_dot, len - last_dot);
}

int ends_with_separator(const char* text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  int last_is_separator = 0;
  while (*p) {
    if (is_sjis_lead_byte(*p) && p[1]) {
      last_is_separator = 0;
      p += 2;
      continue;
    }
    last_is_separator = is_separator(*p);
    ++p;
  }
  return last_is_separator;
}

int posix_path(const char* path, char* out, size_t size) {
  size_t len = strlen(path);
  if (len >= size) return -1;
  for (size_t i = 0; i < len; ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (is_sjis_lead_byte(c) && i + 1 < len) {
      out[i] = path[i];
      out[i + 1] = path[i + 1];
      ++i;
      continue;
    }
    out[i] = c == '\\' ? '/' : path[i];
  }
  out[len] = 0;
  return 0;
}

int refused_in_windows_name(unsigned char c) {
  return c < 0x20 || (c && strchr("<>:\"|?*", c) != nullptr);
}
