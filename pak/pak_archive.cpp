// Loading an archive for `pak` through the updater's resource sources, and the member table
// built from the directory the updater holds: names as stored, sizes as the updater's lookup
// gives them.
#include "pak_archive.h"
#include <cstdio>
#include <cstring>
#include "frame.h"
#include "named_file.h"
#include "pak_output.h"
#include "resource_lookup.h"
#include "sjis.h"

static struct {
  char path[PATH_TEXT_SIZE];     // the archive open, or empty
  PakFormat format;
  int64_t size;                  // file size in bytes
  unsigned char head[PAK_HEADER_SIZE];  // first bytes: the longest header of the formats
  int head_length;               // valid bytes of head
  uint32_t declared;             // count the header declares
  PakMember* members;            // member_count entries (mem_alloc), or null
  uint32_t member_count;
} g_archive;

static uint16_t u16_at(const unsigned char* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

static uint32_t u32_at(const unsigned char* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
         uint32_t(bytes[3]) << 24;
}

const char* pak_shown(const char* arg) {
  static char shown[2][2 * PATH_TEXT_SIZE];  // two results, used in turn
  static int next;
  char* out = shown[next];
  next ^= 1;
  if (pak_name_from_argument(arg, out, sizeof shown[0]) < 0) copy_text(out, sizeof shown[0], arg, strlen(arg));
  return out;
}

const char* pak_format_name(PakFormat format) {
  switch (format) {
    case PAK_FORMAT_ADPACK32: return "ADPACK32";
    case PAK_FORMAT_AC: return "AC";
    case PAK_FORMAT_KEYED: return "keyed";
    case PAK_FORMAT_SHORT_NAME: return "short-name";
  }
  return "?";
}

PakFormat pak_format(void) { return g_archive.format; }
const char* pak_archive_path(void) { return g_archive.path; }
int64_t pak_archive_size(void) { return g_archive.size; }
const unsigned char* pak_head(void) { return g_archive.head; }
int pak_head_length(void) { return g_archive.head_length; }
uint32_t pak_declared_count(void) { return g_archive.declared; }
const ResourceSlot* pak_slot(void) { return resource_slot(0); }
uint32_t pak_entry_count(void) { return pak_slot()->count; }
uint32_t pak_member_count(void) { return g_archive.member_count; }

const PakMember* pak_member(uint32_t index) {
  return index < g_archive.member_count ? &g_archive.members[index] : nullptr;
}

bool pak_has_end_entry(void) {
  return g_archive.format == PAK_FORMAT_ADPACK32 || g_archive.format == PAK_FORMAT_AC;
}

int64_t pak_directory_start(void) {
  switch (g_archive.format) {
    case PAK_FORMAT_ADPACK32:
    case PAK_FORMAT_AC: return PAK_HEADER_SIZE;
    case PAK_FORMAT_KEYED: return 4;
    case PAK_FORMAT_SHORT_NAME: return 2;
  }
  return 0;
}

int64_t pak_directory_end(void) {
  int64_t entry = g_archive.format == PAK_FORMAT_KEYED ? int64_t(sizeof(KeyEntry))
                : g_archive.format == PAK_FORMAT_SHORT_NAME ? int64_t(sizeof(ShortNameEntry))
                : int64_t(PAK_ENTRY_SIZE);
  return pak_directory_start() + entry * int64_t(pak_entry_count());
}

int64_t pak_end_offset(void) {
  const ResourceSlot* slot = pak_slot();
  if (!pak_has_end_entry() || slot->count == 0) return -1;
  return source_entry_offset(slot, slot->count - 1u);
}

// "NAME    EXT" back to "NAME.EXT": the padding spaces go, the dot only with an extension.
static void short_field_name(const char* field, char* out) {
  int base = 8, ext = 3;
  while (base > 0 && field[base - 1] == ' ') --base;
  while (ext > 0 && field[8 + ext - 1] == ' ') --ext;
  size_t n = strnlen(field, size_t(base));
  memcpy(out, field, n);
  if (ext > 0 && n == size_t(base)) {  // a zero inside the base name ends the name there
    out[n++] = '.';
    size_t e = strnlen(field + 8, size_t(ext));
    memcpy(out + n, field + 8, e);
    n += e;
  }
  out[n] = 0;
}

// A name of at most 27 bytes (the longest field) always fits with every byte escaped.
static void make_shown_name(const char* name, char* shown) {
  size_t out = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p && out + 5 < PATH_TEXT_SIZE; ++p) {
    if (*p < 0x20 || *p == 0x7F) out += size_t(snprintf(shown + out, 5, "\\x%02X", *p));
    else shown[out++] = char(*p);
  }
  shown[out] = 0;
}

static void build_members(void) {
  const ResourceSlot* slot = pak_slot();
  uint32_t count = slot->count;
  if (pak_has_end_entry() && count > 0) --count;
  g_archive.member_count = count;
  if (count == 0) return;
  g_archive.members = static_cast<PakMember*>(mem_alloc(count * sizeof(PakMember)));
  memset(g_archive.members, 0, count * sizeof(PakMember));
  for (uint32_t i = 0; i < count; ++i) {
    PakMember* m = &g_archive.members[i];
    m->named = true;
    m->offset = source_entry_offset(slot, i);
    m->size = source_member_end(slot, i) - int64_t(m->offset);  // the size the lookup gives
    if (slot->pak) {
      size_t n = strnlen(slot->pak[i].name, PAK_NAME_LIMIT);
      copy_text(m->name, sizeof m->name, slot->pak[i].name, n);
      m->cut = n == PAK_NAME_LIMIT;
      m->crc = slot->pak[i].crc;
    } else if (slot->ac) {
      copy_text(m->name, sizeof m->name, slot->ac[i].name, strnlen(slot->ac[i].name, AC_NAME_LIMIT));
    } else if (slot->keyed) {
      m->named = false;
      m->key = slot->keyed[i].key;
    } else {
      short_field_name(slot->short_names[i].name, m->name);
    }
    make_shown_name(m->name, m->shown);
  }
}

void pak_close_archive(void) {
  mem_free(g_archive.members);
  memset(&g_archive, 0, sizeof g_archive);
  reset_resource_sources();
}

int pak_open_archive(const char* path, const char** reason) {
  pak_close_archive();
  *reason = nullptr;
  FILE* file = open_named_file(path, "rb");
  if (!file) {
    *reason = "cannot be opened";
    return -1;
  }
  g_archive.size = named_file_size(file);
  g_archive.head_length = int(fread(g_archive.head, 1, sizeof g_archive.head, file));
  fclose(file);
  if (g_archive.size < 0 || g_archive.head_length < 2) {
    *reason = "is shorter than two bytes: no directory format";
    return -1;
  }
  if (add_archive_source(path) != 0) {
    *reason = "has a path too long for the updater (259 bytes at most)";
    return -1;
  }
  copy_text(g_archive.path, sizeof g_archive.path, path, strlen(path));
  uint16_t word = u16_at(g_archive.head);
  if (word == ARCHIVE_WORD_PAK || word == ARCHIVE_WORD_AC) {
    g_archive.format = word == ARCHIVE_WORD_PAK ? PAK_FORMAT_ADPACK32 : PAK_FORMAT_AC;
    g_archive.declared = g_archive.head_length >= 16 ? u32_at(g_archive.head + 12) : 0;
  } else if (word == ARCHIVE_WORD_KEYED) {
    g_archive.format = PAK_FORMAT_KEYED;
    g_archive.declared = g_archive.head_length >= 4 ? u16_at(g_archive.head + 2) : 0;
  } else {
    g_archive.format = PAK_FORMAT_SHORT_NAME;
    g_archive.declared = word;
  }
  build_members();
  return 0;
}

long pak_lookup(const char* name, char looked_up[PATH_TEXT_SIZE]) {
  const char* request = strip_at_prefix(name);
  PathParts parts;
  split_path(request, &parts);
  size_t base = strlen(parts.base);
  copy_text(looked_up, PATH_TEXT_SIZE, parts.base, base);
  copy_text(looked_up + strlen(looked_up), PATH_TEXT_SIZE - strlen(looked_up), parts.ext,
            strlen(parts.ext));
  if (!lookup_in_slot(request, 0)) return -1;
  // The hit's offset and length name the entry; among entries that share them (empty
  // members), the one whose stored name is the request's.
  uint32_t offset = pending_resource_offset();
  int64_t length = resource_length();
  long first = -1;
  for (uint32_t i = 0; i < g_archive.member_count; ++i) {
    const PakMember* m = &g_archive.members[i];
    if (m->offset != offset || m->size != length) continue;
    if (first < 0) first = long(i);
    if (m->named && sjis_icompare(m->name, looked_up) == 0) return long(i);
  }
  return first;
}
