// Extraction names: a folder part or drive is dropped (the updater, too, looks up only the
// base name and extension); names that are empty, "." or "..", hold a character Windows
// forbids in file names, end in a dot or a space, or name a device are refused. The same rules
// hold on Linux, so an extraction gives the same files everywhere.
#include "pak_safe_name.h"
#include <cstring>
#include "path_split.h"
#include "sjis.h"

static const char* const DEVICE_NAMES[] = {"CON", "PRN", "AUX", "NUL", "COM1", "COM2", "COM3",
                                           "COM4", "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1",
                                           "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8",
                                           "LPT9"};
enum { DEVICE_NAME_COUNT = sizeof DEVICE_NAMES / sizeof DEVICE_NAMES[0] };

// True when a single-byte character of `name` (trail bytes stepped over) is a control byte
// or one of < > : " | ? *.
static bool has_forbidden_character(const char* name) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(name);
  while (*p) {
    if (is_sjis_lead_byte(*p) && p[1]) {
      p += 2;
      continue;
    }
    if (refused_in_windows_name(*p)) return true;
    ++p;
  }
  return false;
}

static void drop_lone_lead_byte(char* name) {
  unsigned char* p = reinterpret_cast<unsigned char*>(name);
  while (*p) {
    if (is_sjis_lead_byte(*p)) {
      if (!p[1]) {
        *p = 0;
        return;
      }
      p += 2;
    } else {
      ++p;
    }
  }
}

static bool is_device_name(const char* name) {
  char stem[8];
  size_t n = strcspn(name, ".");
  if (n == 0 || n >= sizeof stem) return false;
  memcpy(stem, name, n);
  stem[n] = 0;
  upper_single_bytes(stem);
  for (int i = 0; i < DEVICE_NAME_COUNT; ++i)
    if (strcmp(stem, DEVICE_NAMES[i]) == 0) return true;
  return false;
}

SafeName pak_safe_name(const char* name, char out[PATH_TEXT_SIZE], const char** why) {
  *why = nullptr;
  PathParts parts;
  split_path(name, &parts);
  SafeName result = SAFE_NAME_KEPT;
  if (parts.drive[0] || parts.dir[0]) {
    size_t base = strlen(parts.base);
    copy_text(out, PATH_TEXT_SIZE, parts.base, base);
    copy_text(out + strlen(out), PATH_TEXT_SIZE - strlen(out), parts.ext, strlen(parts.ext));
    *why = parts.dir[0] ? "folder part dropped" : "drive dropped";
    result = SAFE_NAME_FLATTENED;
  } else {
    copy_text(out, PATH_TEXT_SIZE, name, strlen(name));
  }
  // A name cut in its archive field may end in a lone lead byte; it is no character.
  drop_lone_lead_byte(out);
  size_t length = strlen(out);
  const char* refusal = nullptr;
  if (length == 0 || strcmp(out, ".") == 0 || strcmp(out, "..") == 0) refusal = "no file name left";
  else if (has_forbidden_character(out)) refusal = "a character Windows does not allow in file names";
  else if (out[length - 1] == '.' || out[length - 1] == ' ') refusal = "ends in a dot or a space, which Windows drops";
  else if (is_device_name(out)) refusal = "a device name on Windows";
  if (refusal) {
    *why = refusal;
    out[0] = 0;
    return SAFE_NAME_REFUSED;
  }
  return result;
}
