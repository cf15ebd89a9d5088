// The source table: adding and removing directory and archive sources, and loading an
// archive's directory in the format its first word names. Only whole entries that are in the
// file are kept, so a short or damaged archive gives a smaller table, never stray memory.
#include "resource_sources.h"
#include <cstring>
#include "frame.h"
#include "named_file.h"
#include "sjis.h"

static struct {
  ResourceSlot slots[RESOURCE_SLOT_COUNT];  // index order is search order
} g_sources;

const ResourceSlot* resource_slot(int index) {
  if (index < 0 || index >= RESOURCE_SLOT_COUNT) return nullptr;
  return &g_sources.slots[index];
}

uint32_t source_entry_offset(const ResourceSlot* slot, uint32_t index) {
  if (slot->pak) return slot->pak[index].offset;
  if (slot->ac) return slot->ac[index].offset;
  if (slot->keyed) return slot->keyed[index].offset;
  return slot->short_names[index].offset;
}

int64_t source_member_end(const ResourceSlot* slot, uint32_t index) {
  if (slot->pak || slot->ac) return source_entry_offset(slot, index + 1);
  uint32_t offset = source_entry_offset(slot, index);
  if (index + 1u < slot->count && source_entry_offset(slot, index + 1) == offset) return offset;
  int64_t next = slot->archive_size;
  for (uint32_t i = 0; i < slot->count; ++i) {
    uint32_t other = source_entry_offset(slot, i);
    if (other > offset && int64_t(other) < next) next = other;
  }
  return next;
}

static void release_tables(ResourceSlot* slot) {
  mem_free(slot->short_names);
  mem_free(slot->keyed);
  mem_free(slot->ac);
  mem_free(slot->pak);
  slot->short_names = nullptr;
  slot->keyed = nullptr;
  slot->ac = nullptr;
  slot->pak = nullptr;
}

void reset_resource_sources(void) {
  for (ResourceSlot& slot : g_sources.slots) release_tables(&slot);
  memset(&g_sources, 0, sizeof g_sources);
}

void remove_source(const char* path) {
  if (!path[0]) return;  // empty means "no path": it must not match every unused field
  for (ResourceSlot& slot : g_sources.slots) {
    if (strcmp(path, slot.archive_path) != 0 && strcmp(path, slot.directory_path) != 0) continue;
    release_tables(&slot);
    slot.archive_path[0] = 0;
    slot.directory_path[0] = 0;
  }
}

int first_free_slot(void) {
  for (int i = 0; i < RESOURCE_SLOT_COUNT; ++i) {
    if (!g_sources.slots[i].archive_path[0] && !g_sources.slots[i].directory_path[0]) return i;
  }
  return -1;
}

// Length of `path` without its trailing backslashes. A backslash that is the trail byte of a
// double-byte character (as in "ソ") belongs to that character and stays.
static size_t length_without_trailing_backslashes(const char* path) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(path);
  size_t keep = 0;  // end of the last character that is not a backslash
  size_t i = 0;
  while (p[i]) {
    if (is_sjis_lead_byte(p[i]) && p[i + 1]) {
      i += 2;
      keep = i;
    } else {
      ++i;
      if (p[i - 1] != '\\') keep = i;
    }
  }
  return keep;
}

// The first free slot, emptied of what an earlier source left in it; null when the path's
// `length` is 0 or too long, or all slots are in use (then nothing is touched).
static ResourceSlot* claim_slot(size_t length) {
  if (length == 0 || length >= PATH_TEXT_SIZE) return nullptr;
  int index = first_free_slot();
  if (index < 0) return nullptr;
  ResourceSlot* slot = &g_sources.slots[index];
  slot->count = 0;
  slot->archive_size = 0;
  return slot;
}

int add_directory_source(const char* path) {
  remove_source(path);
  size_t length = length_without_trailing_backslashes(path);
  ResourceSlot* slot = claim_slot(length);
  if (!slot) return 1;
  memcpy(slot->directory_path, path, length);
  slot->directory_path[length] = 0;
  return 0;
}

// Reads up to `declared` entries of `entry_size` bytes from the stream's position into a new
// block. The block is sized by what the file can still hold, and *count becomes the number of
// whole entries read. Null (and count 0) when there is none.
static void* read_table(FILE* file, int64_t file_size, long position, unsigned declared,
                        size_t entry_size, uint16_t* count) {
  *count = 0;
  int64_t room = file_size > position ? (file_size - position) / int64_t(entry_size) : 0;
  size_t wanted = int64_t(declared) < room ? declared : size_t(room);
  if (wanted == 0) return nullptr;
  void* table = mem_alloc(wanted * entry_size);
  size_t got = fread(table, entry_size, wanted, file);
  if (got == 0) {
    mem_free(table);
    return nullptr;
  }
  *count = static_cast<uint16_t>(got);
  return table;
}

static uint16_t u16_at(const unsigned char* bytes) {
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

static void load_directory(ResourceSlot* slot, FILE* file) {
  slot->archive_size = named_file_size(file);
  if (slot->archive_size < 0) slot->archive_size = 0;
  const int64_t size = slot->archive_size;
  unsigned char head[PAK_HEADER_SIZE];
  if (fread(head, 1, 2, file) != 2) return;  // too short for a format word: no table
  uint16_t word = u16_at(head);
  if (word == ARCHIVE_WORD_PAK || word == ARCHIVE_WORD_AC) {
    if (fread(head + 2, 1, PAK_HEADER_SIZE - 2, file) != PAK_HEADER_SIZE - 2) return;
    uint16_t declared = u16_at(head + 12);  // low 16 bits of the u32 count
    void* table = read_table(file, size, PAK_HEADER_SIZE, declared, PAK_ENTRY_SIZE, &slot->count);
    if (word == ARCHIVE_WORD_PAK) slot->pak = static_cast<PakEntry*>(table);
    else slot->ac = static_cast<AcEntry*>(table);
  } else if (word == ARCHIVE_WORD_KEYED) {
    if (fread(head + 2, 1, 2, file) != 2) return;
    slot->keyed = static_cast<KeyEntry*>(
        read_table(file, size, 4, u16_at(head + 2), sizeof(KeyEntry), &slot->count));
  } else {
    slot->short_names = static_cast<ShortNameEntry*>(
        read_table(file, size, 2, word, sizeof(ShortNameEntry), &slot->count));
  }
}

int add_archive_source(const char* path) {
  remove_source(path);
  size_t length = strlen(path);
  ResourceSlot* slot = claim_slot(length);
  if (!slot) return 1;
  memcpy(slot->archive_path, path, length + 1);
  FILE* file = open_named_file(path, "rb");
  if (!file) return 0;  // in use, finds nothing; the lookup says nothing either
  load_directory(slot, file);
  fclose(file);
  return 0;
}

void register_update_source(void) {
  FILE* marker = open_named_file("UPDATE\\PK.BAT", "rb");
  if (marker) {
    fclose(marker);
    add_directory_source("UPDATE");
    return;
  }
  FILE* archive = open_named_file("UPDATE.PAK", "rb");
  if (archive) {
    fclose(archive);
    add_archive_source("UPDATE.PAK");
  }
}
