// The archive `pak` works on: its directory loaded by the updater's own resource sources into
// slot 0, and the members as the updater sees them (names in cp932, offsets, sizes by the
// format's rule). One archive at a time.
#pragma once
#include <cstdint>
#include "path_split.h"
#include "resource_sources.h"

enum PakFormat {
  PAK_FORMAT_ADPACK32,   // "ADPACK32": sorted names with CRCs, an end entry
  PAK_FORMAT_AC,         // "AC": sorted names of up to 27 bytes, an end entry
  PAK_FORMAT_KEYED,      // 00 40: sorted 32-bit keys of 8.3 names, no names
  PAK_FORMAT_SHORT_NAME  // any other first word: the count of "NAME    EXT" entries
};

struct PakMember {
  char name[PATH_TEXT_SIZE];  // as stored ("NAME.EXT" for a short-name entry); empty when keyed
  char shown[PATH_TEXT_SIZE]; // the name to print: control bytes written as \xNN
  bool named;                 // false in a keyed archive: only the key is stored
  bool cut;                   // ADPACK32 name field full: the name may have gone on
  uint32_t key;               // keyed: the stored key
  uint16_t crc;               // ADPACK32: the stored name CRC
  uint32_t offset;            // first data byte
  int64_t size;               // by the format's rule; negative when the next offset is lower
};

// Opens `path` (as the platform's resource code opens names) and loads its directory.
// 0 when loaded; -1 when the file cannot be read as an archive at all (it does not open, is
// shorter than two bytes, or the path is too long for a resource source); *reason then
// says why.
int pak_open_archive(const char* path, const char** reason);

// Releases the directory and the member table; harmless when nothing is open.
void pak_close_archive(void);

PakFormat pak_format(void);
// True for the formats whose directory ends in an end entry (ADPACK32 and AC).
bool pak_has_end_entry(void);
const char* pak_format_name(PakFormat format);
const char* pak_archive_path(void);
int64_t pak_archive_size(void);
// The first bytes of the file (up to 16; pak_head_length() of them are valid).
const unsigned char* pak_head(void);
int pak_head_length(void);
// The entry count the header declares (the u32 of ADPACK32 and AC archives, in full).
uint32_t pak_declared_count(void);
// The directory entries held: whole entries in the file, at most the low 16 bits of the count.
uint32_t pak_entry_count(void);
// The directory's first byte, and the byte after the entries held (where data may begin).
int64_t pak_directory_start(void);
int64_t pak_directory_end(void);

// Members: every entry held, less the end entry of ADPACK32 and AC archives.
uint32_t pak_member_count(void);
const PakMember* pak_member(uint32_t index);
// The end entry's offset, or -1 when the format has none or it is not held.
int64_t pak_end_offset(void);

// The slot the updater's lookup searches (slot 0).
const ResourceSlot* pak_slot(void);

// The member the updater opens for `name` (its own rules: "@" prefix, base name and
// extension only, case folding, the short-name key): its index, or -1 when it finds none.
// *looked_up is the name the archive is searched for (base name and extension).
long pak_lookup(const char* name, char looked_up[PATH_TEXT_SIZE]);
