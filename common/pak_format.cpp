// Name CRC, entry order, directory completion and member search of the archive format.
#include "pak_format.h"
#include <cstring>
#include "sjis.h"

uint16_t pak_name_crc(const char* name) {
  char work[PAK_CRC_LIMIT + 1];
  strncpy(work, name, PAK_CRC_LIMIT);
  work[PAK_CRC_LIMIT] = 0;
  upper_single_bytes(work);
  unsigned reg = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(work); *p; ++p) {
    reg ^= static_cast<unsigned>(*p) << 8;
    for (int bit = 0; bit < 8; ++bit)
      reg = (reg & 0x8000) ? ((reg << 1) ^ 0x1021) & 0xFFFF : (reg << 1) & 0xFFFF;
  }
  return static_cast<uint16_t>(reg);
}

void pak_init_header(PakHeader* header, uint32_t count) {
  memcpy(header->magic, "ADPACK32", 8);
  header->version = 0x00010000u;
  header->count = count;
}

void pak_set_entry_name(PakEntry* entry, const char* name) {
  memset(entry, 0, sizeof *entry);
  strncpy(entry->name, name, PAK_NAME_LIMIT);  // pads with zeros; byte 25 stays zero
  entry->crc = pak_name_crc(name);
}

int pak_entry_compare(const PakEntry* a, const PakEntry* b) {
  // Name fields read from a file need not be terminated; compare bounded copies.
  char name_a[PAK_NAME_FIELD], name_b[PAK_NAME_FIELD];
  memcpy(name_a, a->name, PAK_NAME_LIMIT);
  memcpy(name_b, b->name, PAK_NAME_LIMIT);
  name_a[PAK_NAME_LIMIT] = name_b[PAK_NAME_LIMIT] = 0;
  int by_name = sjis_icompare(name_a, name_b);
  if (by_name != 0) return by_name;
  if (a->crc != b->crc) return a->crc < b->crc ? -1 : 1;
  return 0;
}

uint64_t pak_close_directory(PakEntry* entries, uint32_t members) {
  memset(&entries[members], 0, sizeof entries[members]);
  uint64_t running = PAK_HEADER_SIZE + uint64_t(PAK_ENTRY_SIZE) * (uint64_t(members) + 1);
  for (uint32_t i = 0; i < members; ++i) {
    uint32_t size = entries[i].offset;
    entries[i].offset = static_cast<uint32_t>(running);
    running += size;
  }
  entries[members].offset = static_cast<uint32_t>(running);
  return running;
}

long pak_find_entry(const PakEntry* entries, uint32_t count, const char* name) {
  if (count < 2) return -1;  // no members: only the end entry, or nothing at all
  PakEntry key;
  pak_set_entry_name(&key, name);
  long low = 0, high = long(count) - 2;
  while (low <= high) {
    long mid = low + (high - low) / 2;
    int c = pak_entry_compare(&key, &entries[mid]);
    if (c == 0) return mid;
    if (c < 0) high = mid - 1; else low = mid + 1;
  }
  return -1;
}
