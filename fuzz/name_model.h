// Straightforward second versions of the archive's name rules for the fuzz targets to check
// the library against: the name CRC, the case-insensitive Shift-JIS order of name fields and
// the entry order. Slow and simple on purpose; only the upper-case table is shared.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>
#include "pak_format.h"
#include "sjis.h"

inline bool model_lead_byte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// CRC-16/XMODEM of the first 63 bytes of `name`, "a"-"z" upper-cased outside double-byte
// characters.
inline uint16_t model_crc(const std::string& name) {
  std::string work = name.substr(0, std::min(strlen(name.c_str()), size_t(PAK_CRC_LIMIT)));
  for (size_t i = 0; i < work.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(work[i]);
    if (model_lead_byte(c) && i + 1 < work.size()) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      work[i] = char(c - 'a' + 'A');
    }
  }
  unsigned reg = 0;
  for (unsigned char c : work) {
    reg ^= unsigned(c) << 8;
    for (int bit = 0; bit < 8; ++bit) reg = (reg & 0x8000) ? (reg << 1) ^ 0x1021 : reg << 1;
    reg &= 0xFFFF;
  }
  return uint16_t(reg);
}

// The characters of a name as the order sees them: "A"-"Z" as "a"-"z", a double-byte
// character as its upper-case code; a lone lead byte at the end is dropped.
inline std::vector<unsigned> model_order_values(const std::string& text) {
  std::vector<unsigned> values;
  size_t len = strlen(text.c_str());
  for (size_t i = 0; i < len; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (model_lead_byte(c)) {
      if (i + 1 == len) break;
      unsigned char trail = static_cast<unsigned char>(text[i + 1]);
      values.push_back(sjis_upper_double(uint16_t(c << 8 | trail)));
      ++i;
    } else {
      values.push_back(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
  }
  return values;
}

inline int model_icompare(const std::string& a, const std::string& b) {
  std::vector<unsigned> va = model_order_values(a), vb = model_order_values(b);
  if (va == vb) return 0;
  return va < vb ? -1 : 1;  // lexicographic: a proper prefix comes first
}

// What the entry order looks at: the values of the first 25 bytes, then the CRC.
struct ModelKey {
  std::vector<unsigned> field;
  uint16_t crc;
};

inline ModelKey model_key(const std::string& name) {
  return {model_order_values(name.substr(0, PAK_NAME_LIMIT)), model_crc(name)};
}

// The same from an entry: its name field (not necessarily terminated) and its stored CRC.
inline ModelKey model_key(const PakEntry& entry) {
  return {model_order_values(std::string(entry.name, strnlen(entry.name, PAK_NAME_LIMIT))),
          entry.crc};
}

inline int model_key_order(const ModelKey& a, const ModelKey& b) {
  if (a.field != b.field) return a.field < b.field ? -1 : 1;
  return a.crc == b.crc ? 0 : a.crc < b.crc ? -1 : 1;
}

inline int model_entry_order(const PakEntry& a, const PakEntry& b) {
  return model_key_order(model_key(a), model_key(b));
}

// `name` with the case of every ASCII letter outside double-byte characters swapped: a name
// the archive cannot tell from `name`.
inline std::string model_swap_case(const std::string& name) {
  std::string out = name;
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (model_lead_byte(c) && i + 1 < out.size()) {
      ++i;
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      out[i] = char(c ^ 0x20);
    }
  }
  return out;
}
