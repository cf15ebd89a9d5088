// The "ADPACK32" archive: a 16-byte header, a directory of 32-byte entries sorted by name
// (ending in an end entry whose offset is the archive's size), then the members' data.
// The pack tool writes it; the updater finds members in it by binary search.
#pragma once
#include <cstdint>

enum {
  PAK_HEADER_SIZE = 16,
  PAK_ENTRY_SIZE = 32,
  PAK_NAME_FIELD = 26,    // name field bytes; byte 25 is always zero
  PAK_NAME_LIMIT = 25,    // significant bytes of the name field
  PAK_CRC_LIMIT = 63,     // bytes of the full name that the CRC covers
  PAK_MAX_ENTRIES = 65535 // the reader keeps 16 bits of the count: 65534 members + end entry
};

// An archive must stay below 2 GiB: the updater seeks with signed 32-bit offsets.
const uint64_t PAK_MAX_ARCHIVE_SIZE = 0x7FFFFFFFu;

// Both structures are stored little-endian and have no padding; the programs run on
// little-endian machines only, so the in-memory images are the file images.
struct PakHeader {
  char magic[8];     // "ADPACK32", no terminator
  uint32_t version;  // always 0x00010000 (bytes 00 00 01 00); readers ignore it
  uint32_t count;    // entries in the directory, the end entry included
};

struct PakEntry {
  char name[PAK_NAME_FIELD];  // first 25 bytes of the name, zero-padded
  uint16_t crc;               // pak_name_crc of the full name
  uint32_t offset;            // first data byte, from the start of the archive
};

static_assert(sizeof(PakHeader) == PAK_HEADER_SIZE, "header image is 16 bytes");
static_assert(sizeof(PakEntry) == PAK_ENTRY_SIZE, "entry image is 32 bytes");
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "archive images are little-endian");

// CRC-16/XMODEM (width 16, polynomial 0x1021, initial 0, no reflection, no final XOR; check
// value 0x31C3 for "123456789") over the first 63 bytes of `name` after upper_single_bytes.
uint16_t pak_name_crc(const char* name);

// Fills the header for a directory of `count` entries.
void pak_init_header(PakHeader* header, uint32_t count);

// Sets the name field (first 25 bytes, zero-padded) and the CRC from `name`; offset 0.
// This is also the search key for pak_find_entry.
void pak_set_entry_name(PakEntry* entry, const char* name);

// Entry order: sjis_icompare of the name fields, then the CRC as an unsigned number.
int pak_entry_compare(const PakEntry* a, const PakEntry* b);

// Completes a sorted directory whose first `members` entries hold each member's size in
// their offset field: clears entry [members] as the end entry and turns sizes into offsets,
// starting after the header and the members + 1 entries. Returns the archive's total size.
uint64_t pak_close_directory(PakEntry* entries, uint32_t members);

// Binary search of a directory of `count` entries (end entry included, so count - 1
// members) for `name`. Returns the member's index, or -1 when it is not there.
long pak_find_entry(const PakEntry* entries, uint32_t count, const char* name);
