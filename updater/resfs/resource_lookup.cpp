// Resolving a resource name against the plain file system and the eight sources, and opening
// the result as a stream at the resource's first byte. A member whose data does not lie in
// its archive is never a hit, so the offset and length handed out always fit the file.
#include "resource_lookup.h"
#include <cstdlib>
#include <cstring>
#include "frame.h"
#include "named_file.h"
#include "pak_format.h"
#include "path_split.h"
#include "resource_sources.h"
#include "sjis.h"

enum {
  RETRY_TEXT_SIZE = 128,  // the retry question's buffer
  SHORT_BASE = 8,         // base name bytes of a short-name key text
  SHORT_EXT = 3,          // extension bytes of a short-name key text
  KEYED_STEP = 100        // entries between coarse index probes of a keyed directory
};

static const char RETRY_FORMAT[] = "ファイル[%s]が開けません\nリトライしますか？";
static const char CUT_MARK[] = "...";
// Path bytes the question holds: the buffer less the format's own text and the terminator.
static constexpr size_t RETRY_PATH_ROOM = RETRY_TEXT_SIZE - 1 - (sizeof RETRY_FORMAT - 1 - 2);

// T: the permutation of 0-31 that mixes the extension into a short-name key.
static const unsigned char SHORT_NAME_KEY_TABLE[32] = {
    0,  10, 25, 9,  29, 5, 11, 23, 7,  31, 27, 28, 26, 18, 4,  1,
    15, 21, 20, 16, 12, 2, 17, 3,  24, 6,  19, 30, 22, 8,  14, 13};

static struct {
  uint32_t pending_offset;          // where open_resource seeks next; 0 for no seek
  int32_t length;                   // the last resolved or opened resource's length, or -1
  char joined[PATH_TEXT_SIZE];      // directory source + "\" + name of the last hit
  ResourceOpenProc opener;          // null: open_named_file
} g_lookup = {0, -1, {0}, nullptr};

void set_resource_opener(ResourceOpenProc opener) { g_lookup.opener = opener; }

static FILE* open_file(const char* path, const char* mode) {
  return g_lookup.opener ? g_lookup.opener(path, mode) : open_named_file(path, mode);
}

static bool can_open(const char* path) {
  FILE* file = open_file(path, "rb");
  if (!file) return false;
  fclose(file);
  return true;
}

const char* strip_at_prefix(const char* name) {
  if (name[0] != '@') return name;
  const char* colon = strrchr(name, ':');  // ":" is never a trail byte
  return colon ? colon + 1 : name;
}

uint32_t short_name_key(const char* key_text) {
  const unsigned char* n = reinterpret_cast<const unsigned char*>(key_text);
  const unsigned char* e = n + SHORT_BASE;  // e[3] is the terminating zero
  uint32_t key = 0;
  for (int i = 0; i < 4; ++i) {
    unsigned swapped = ((n[i + 4] << 4) | (n[i + 4] >> 4)) & 0xFF;
    unsigned byte = n[i] ^ swapped ^ SHORT_NAME_KEY_TABLE[e[i] & 31];
    key |= uint32_t(byte) << (8 * i);
  }
  return key;
}

// "NAME    EXT" and a zero byte from a base name of at most 8 bytes and an extension (dot
// included, cut to 3 bytes after it), upper-cased byte by byte. False for a longer base name.
static bool make_short_key_text(const PathParts* parts, char text[SHORT_BASE + SHORT_EXT + 1]) {
  size_t base_length = strlen(parts->base);
  if (base_length > SHORT_BASE) return false;
  memset(text, ' ', SHORT_BASE + SHORT_EXT);
  memcpy(text, parts->base, base_length);
  const char* ext = parts->ext[0] == '.' ? parts->ext + 1 : parts->ext;
  for (int i = 0; i < SHORT_EXT && ext[i]; ++i) text[SHORT_BASE + i] = ext[i];
  text[SHORT_BASE + SHORT_EXT] = 0;
  for (int i = 0; i < SHORT_BASE + SHORT_EXT; ++i) {
    if (text[i] >= 'a' && text[i] <= 'z') text[i] = char(text[i] - 'a' + 'A');
  }
  return true;
}

// Accepts a hit whose data runs from `offset` to `next` inside the archive (and within the
// reach of a 32-bit stream position): records the pending offset and the length. A damaged
// entry (offset past the end, a negative size, data past the end) is no hit.
static bool take_member(const ResourceSlot* slot, uint32_t offset, int64_t next) {
  int64_t end = slot->archive_size < int64_t(PAK_MAX_ARCHIVE_SIZE) ? slot->archive_size
                                                                   : int64_t(PAK_MAX_ARCHIVE_SIZE);
  if (int64_t(offset) > end || next < int64_t(offset) || next > end) return false;
  g_lookup.pending_offset = offset;
  g_lookup.length = static_cast<int32_t>(next - offset);
  return true;
}

// A hit on entry `hit` of the slot's table, its data ending by the format's rule.
static bool take_entry(const ResourceSlot* slot, uint32_t hit) {
  return take_member(slot, source_entry_offset(slot, hit), source_member_end(slot, hit));
}

static bool find_short_name(const ResourceSlot* slot, const char* key_text) {
  for (uint32_t i = 0; i < slot->count; ++i) {
    if (memcmp(slot->short_names[i].name, key_text, sizeof slot->short_names[i].name) == 0) {
      return take_entry(slot, i);
    }
  }
  return false;
}

static bool find_keyed(const ResourceSlot* slot, const char* key_text) {
  uint32_t key = short_name_key(key_text);
  uint32_t last = slot->count - 1u;
  uint32_t j = KEYED_STEP;  // the coarse index: probe every 100th entry
  while (j < last && slot->keyed[j].key <= key) j += KEYED_STEP;
  for (uint32_t i = j - KEYED_STEP; i <= last; ++i) {
    if (slot->keyed[i].key == key) return take_entry(slot, i);
  }
  return false;
}

static bool find_ac(const ResourceSlot* slot, const char* member) {
  char search[AC_NAME_FIELD];
  copy_text(search, sizeof search, member, strlen(member));
  long low = 0, high = long(slot->count) - 2;  // the last entry only ends the data
  while (low <= high) {
    long mid = low + (high - low) / 2;
    char entry_name[AC_NAME_FIELD];  // a field read from a file need not be terminated
    copy_text(entry_name, sizeof entry_name, slot->ac[mid].name, strnlen(slot->ac[mid].name, AC_NAME_LIMIT));
    int c = sjis_icompare(search, entry_name);
    if (c == 0) return take_entry(slot, uint32_t(mid));
    if (c < 0) high = mid - 1; else low = mid + 1;
  }
  return false;
}

static bool find_pak(const ResourceSlot* slot, const char* member) {
  long at = pak_find_entry(slot->pak, slot->count, member);
  return at >= 0 && take_entry(slot, uint32_t(at));
}

const char* lookup_in_slot(const char* name, int index) {
  const ResourceSlot* slot = resource_slot(index);
  if (!slot) return nullptr;
  if (slot->directory_path[0]) {
    size_t dir_length = strlen(slot->directory_path), name_length = strlen(name);
    if (dir_length + 1 + name_length < sizeof g_lookup.joined) {  // a longer path is no file
      memcpy(g_lookup.joined, slot->directory_path, dir_length);
      g_lookup.joined[dir_length] = '\\';
      memcpy(g_lookup.joined + dir_length + 1, name, name_length + 1);
      if (can_open(g_lookup.joined)) return g_lookup.joined;
    }
  }
  if (slot->count == 0) return nullptr;

  // Archives are flat: only the base name and the extension take part.
  PathParts parts;
  split_path(name, &parts);
  char member[2 * PATH_TEXT_SIZE];
  size_t base_length = strlen(parts.base);
  memcpy(member, parts.base, base_length);
  memcpy(member + base_length, parts.ext, strlen(parts.ext) + 1);
  char key_text[SHORT_BASE + SHORT_EXT + 1];

  bool hit = false;
  if (slot->short_names) hit = make_short_key_text(&parts, key_text) && find_short_name(slot, key_text);
  else if (slot->keyed) hit = make_short_key_text(&parts, key_text) && find_keyed(slot, key_text);
  else if (slot->ac) hit = find_ac(slot, member);
  else if (slot->pak) hit = find_pak(slot, member);
  return hit ? slot->archive_path : nullptr;
}

const char* resolve_resource(const char* name) {
  g_lookup.pending_offset = 0;
  g_lookup.length = -1;
  if (can_open(name)) return name;
  for (int i = 0; i < RESOURCE_SLOT_COUNT; ++i) {
    const char* path = lookup_in_slot(name, i);
    if (path) return path;
  }
  return name;
}

// The retry question for `path` in `text` (RETRY_TEXT_SIZE bytes). A path too long for it
// keeps its end behind a cut mark, cut at a character boundary.
static void format_retry_question(char* text, const char* path) {
  size_t length = strlen(path);
  char shown[RETRY_PATH_ROOM + 1];
  if (length <= RETRY_PATH_ROOM) {
    copy_text(shown, sizeof shown, path, length);
  } else {
    size_t i = sjis_tail_start(path, RETRY_PATH_ROOM - (sizeof CUT_MARK - 1));
    memcpy(shown, CUT_MARK, sizeof CUT_MARK - 1);
    copy_text(shown + sizeof CUT_MARK - 1, sizeof shown - (sizeof CUT_MARK - 1), path + i, length - i);
  }
  snprintf(text, RETRY_TEXT_SIZE, RETRY_FORMAT, shown);
}

FILE* open_resource(const char* name, const char* mode) {
  const char* path = resolve_resource(strip_at_prefix(name));
  FILE* stream = open_file(path, mode);
  while (!stream) {
    char question[RETRY_TEXT_SIZE];
    format_retry_question(question, path);
    if (!confirm_box(question)) exit(-1);  // at once: the shutdown chain is not run
    stream = open_file(path, mode);
  }
  if (g_lookup.length == -1) {
    int64_t size = named_file_size(stream);
    g_lookup.length = static_cast<int32_t>(size < 0 ? 0 : size > INT32_MAX ? INT32_MAX : size);
  }
  if (g_lookup.pending_offset != 0) fseek(stream, long(g_lookup.pending_offset), SEEK_SET);
  g_lookup.pending_offset = 0;
  return stream;
}

bool resource_exists(const char* name) {
  return can_open(resolve_resource(strip_at_prefix(name)));
}

void close_resource(FILE* stream) {
  if (stream) fclose(stream);
}

int32_t resource_length(void) { return g_lookup.length; }

uint32_t pending_resource_offset(void) { return g_lookup.pending_offset; }
