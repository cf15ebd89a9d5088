// The updater's resource sources: eight slots, each a directory or an archive file whose
// directory is held in memory in one of four formats (short-name, keyed, AC, PAK). Slot order
// is search order; the lookup (resource_lookup.h) reads the slots through resource_slot().
#pragma once
#include <cstdint>
#include "pak_format.h"
#include "path_split.h"

enum { RESOURCE_SLOT_COUNT = 8 };

// First little-endian u16 of an archive, naming its directory format; any other value is the
// entry count of a short-name directory.
enum {
  ARCHIVE_WORD_PAK = 0x4441,   // "AD"
  ARCHIVE_WORD_AC = 0x4341,    // "AC"
  ARCHIVE_WORD_KEYED = 0x4000  // bytes 00 40, then the u16 count
};

// Short-name directory entry: "NAME    EXT" (upper case, space-padded, 8 + 3 bytes), a zero
// byte, the data offset. No order.
struct ShortNameEntry {
  char name[12];
  uint32_t offset;
};

// Keyed directory entry: the short-name key of the 11-byte name text, the data offset.
// Sorted by key (unsigned).
struct KeyEntry {
  uint32_t key;
  uint32_t offset;
};

enum { AC_NAME_FIELD = 28, AC_NAME_LIMIT = 27 };

// AC directory entry: up to 27 name bytes, zero-padded, the data offset. Sorted by
// sjis_icompare of the names; the last entry only marks the end of the data.
struct AcEntry {
  char name[AC_NAME_FIELD];
  uint32_t offset;
};

static_assert(sizeof(ShortNameEntry) == 16, "short-name entry image is 16 bytes");
static_assert(sizeof(KeyEntry) == 8, "keyed entry image is 8 bytes");
static_assert(sizeof(AcEntry) == 32, "AC entry image is 32 bytes");
static_assert(sizeof(PakEntry) == 32, "PAK entry image is 32 bytes");

// One source. Free when both paths are empty; never both set. An archive slot without a
// table (the file did not open, or held no whole entry) is in use and finds nothing.
struct ResourceSlot {
  char archive_path[PATH_TEXT_SIZE];    // archive file, or empty
  char directory_path[PATH_TEXT_SIZE];  // directory without trailing backslashes, or empty
  uint16_t count;                       // whole entries held in the table
  int64_t archive_size;                 // bytes in the archive file when it was loaded
  ShortNameEntry* short_names;          // at most one of the four tables is present
  KeyEntry* keyed;
  AcEntry* ac;
  PakEntry* pak;
};

// Registers the directory `path` (trailing backslashes dropped) in the first free slot, after
// removing any slot that holds `path`. 0 when registered; 1 when nothing was added: the table
// is full, the path is empty without its trailing backslashes, or it is longer than 259 bytes.
int add_directory_source(const char* path);

// Registers the archive file `path` in the first free slot (after removing any slot that
// holds `path`) and loads its directory. 0 when registered, also when the file cannot be
// opened or holds no directory; 1 when nothing was added (table full, path empty or longer
// than 259 bytes).
int add_archive_source(const char* path);

// Clears every slot whose archive or directory path equals `path` byte for byte, releasing
// its table. An empty path matches nothing.
void remove_source(const char* path);

// The lowest free slot index, or -1 when all eight are in use.
int first_free_slot(void);

// The updater's start-up source: the directory "UPDATE" when "UPDATE\PK.BAT" can be opened,
// else the archive "UPDATE.PAK" when it can be opened, else nothing.
void register_update_source(void);

// Slot `index` (0-7) for the lookup; null for any other index.
const ResourceSlot* resource_slot(int index);

// The data offset of entry `index` (below slot->count) of the slot's table.
uint32_t source_entry_offset(const ResourceSlot* slot, uint32_t index);

// The byte after the data of member `index`: in AC and PAK tables the next entry's offset
// (`index` below count - 1); the short-name and keyed formats require no order of the data,
// so there a member ends where the nearest member after it starts, or at the end of the file,
// and an entry followed in the table by one at its own offset is empty (as the format's "next
// entry minus own" makes it). Not checked against the file: may lie below the own offset.
int64_t source_member_end(const ResourceSlot* slot, uint32_t index);

// Releases every table and clears every slot (tests start from an empty table).
void reset_resource_sources(void);
