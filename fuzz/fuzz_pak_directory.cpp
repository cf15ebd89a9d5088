// Fuzz target: names cut from the input are built into an archive directory the way the pack
// tool builds one; the order must be strict and consistent, and the binary search must find
// exactly the names whose key is in the directory. The raw input, read as a directory image
// as the updater would read an archive, is searched too and must not crash.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "name_model.h"
#include "pak_format.h"
#include "sjis.h"
#include "fuzz_check.h"

namespace {

const size_t kMaxNameBytes = 80;
const size_t kMaxNames = 96;        // keeps the linear cross-checks cheap
const size_t kAllPairsNames = 48;   // names whose every pair is compared both ways

int sign(int v) { return (v > 0) - (v < 0); }

// Lines of the input (split at LF; a zero byte ends a name), cut to 80 bytes, empty ones dropped.
std::vector<std::string> names_of(const uint8_t* data, size_t size) {
  std::vector<std::string> names;
  size_t start = 0;
  for (size_t i = 0; i <= size && names.size() < kMaxNames; ++i) {
    if (i < size && data[i] != '\n') continue;
    std::string name(reinterpret_cast<const char*>(data + start), i - start);
    name.resize(std::min(strlen(name.c_str()), kMaxNameBytes));
    if (!name.empty()) names.push_back(name);
    start = i + 1;
  }
  return names;
}

int compare_entries(const void* a, const void* b) {
  return pak_entry_compare(static_cast<const PakEntry*>(a), static_cast<const PakEntry*>(b));
}

// Searches `entries` for `name` and checks the answer against a linear scan: found exactly
// when some member's key compares equal, and then at such a member.
void check_lookup(const std::vector<PakEntry>& entries, const std::string& name) {
  PakEntry key;
  pak_set_entry_name(&key, name.c_str());
  long at = pak_find_entry(entries.data(), uint32_t(entries.size()), name.c_str());
  bool present = false;
  for (size_t i = 0; i + 1 < entries.size(); ++i)
    if (pak_entry_compare(&key, &entries[i]) == 0) present = true;
  if (at < 0) {
    CHECK(at == -1 && !present);
  } else {
    CHECK(size_t(at) + 1 < entries.size());
    CHECK(pak_entry_compare(&key, &entries[size_t(at)]) == 0);
  }
  CHECK(present == (at >= 0));
}

void check_built_directory(const std::vector<std::string>& names) {
  // Keys as the pack tool makes them; each offset field holds a made-up member size.
  std::vector<PakEntry> entries(names.size() + 1);
  uint64_t data_size = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    pak_set_entry_name(&entries[i], names[i].c_str());
    CHECK(entries[i].name[PAK_NAME_LIMIT] == 0);
    entries[i].offset = uint32_t(names[i].size() * 3);
    data_size += entries[i].offset;
  }
  if (!names.empty()) qsort(entries.data(), names.size(), sizeof(PakEntry), compare_entries);
  size_t members = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    if (members > 0 && pak_entry_compare(&entries[members - 1], &entries[i]) == 0) {
      data_size -= entries[i].offset;
      continue;
    }
    entries[members++] = entries[i];
  }
  entries.resize(members + 1);
  uint64_t total = pak_close_directory(entries.data(), uint32_t(members));
  const uint64_t first = PAK_HEADER_SIZE + PAK_ENTRY_SIZE * uint64_t(members + 1);
  CHECK(total == first + data_size);
  CHECK(entries[0].offset == first);
  for (size_t i = 0; i < members; ++i) CHECK(entries[i].offset <= entries[i + 1].offset);
  const PakEntry& end = entries[members];
  for (char c : end.name) CHECK(c == 0);
  CHECK(end.crc == 0 && end.offset == total);

  // Strict order: adjacent members ascend both ways round, and (for the first members)
  // every pair agrees with the positions.
  for (size_t i = 0; i + 1 < members; ++i) {
    CHECK(pak_entry_compare(&entries[i], &entries[i + 1]) < 0);
    CHECK(pak_entry_compare(&entries[i + 1], &entries[i]) > 0);
    CHECK(model_entry_order(entries[i], entries[i + 1]) < 0);
  }
  for (size_t i = 0; i < std::min(members, kAllPairsNames); ++i)
    for (size_t j = 0; j < std::min(members, kAllPairsNames); ++j)
      CHECK(sign(pak_entry_compare(&entries[i], &entries[j])) == (i < j ? -1 : i > j));

  // Every name is found, also with its letter case swapped; so is or is not each name with
  // one byte altered, as a scan says.
  for (size_t k = 0; k < names.size(); ++k) {
    long found = pak_find_entry(entries.data(), uint32_t(entries.size()), names[k].c_str());
    CHECK(found >= 0);
    CHECK(pak_find_entry(entries.data(), uint32_t(entries.size()),
                         model_swap_case(names[k]).c_str()) == found);
    check_lookup(entries, names[k]);
    std::string changed = names[k];
    size_t at = (k * 7) % changed.size();
    changed[at] = char(changed[at] ^ 0x20);  // often only the letter case
    if (changed[at] != 0) check_lookup(entries, changed);
    changed = names[k];
    changed[at] = char(changed[at] + 1);
    if (changed[at] != 0) check_lookup(entries, changed);
  }
}

// Both ways round every pair agrees in sign, and with the second version of the rules.
void check_name_compare(const std::vector<std::string>& names) {
  size_t n = std::min(names.size(), kAllPairsNames);
  std::vector<ModelKey> model_keys;
  std::vector<PakEntry> keys(n);
  for (size_t i = 0; i < n; ++i) {
    model_keys.push_back(model_key(names[i]));
    pak_set_entry_name(&keys[i], names[i].c_str());
  }
  for (size_t i = 0; i < n; ++i) {
    CHECK(sjis_icompare(names[i].c_str(), names[i].c_str()) == 0);
    for (size_t j = i + 1; j < n; ++j) {
      int ab = sjis_icompare(names[i].c_str(), names[j].c_str());
      int ba = sjis_icompare(names[j].c_str(), names[i].c_str());
      CHECK(sign(ab) == -sign(ba));
      CHECK(sign(ab) == model_icompare(names[i], names[j]));
      CHECK(sign(pak_entry_compare(&keys[i], &keys[j])) ==
            model_key_order(model_keys[i], model_keys[j]));
    }
  }
}

// The input as an image: a 32-bit count, then entries; the count is bounded by the bytes
// there are. Any answer is acceptable except a crash or an entry that does not match.
void check_raw_image(const uint8_t* data, size_t size, const std::vector<std::string>& names) {
  if (size < 4) return;
  uint32_t count;
  memcpy(&count, data, 4);
  size_t available = (size - 4) / PAK_ENTRY_SIZE;
  if (count > available) count = uint32_t(available);
  std::vector<PakEntry> image(count);
  if (count) memcpy(image.data(), data + 4, count * sizeof(PakEntry));

  std::vector<std::string> probes = {"", "A", "\x82\x60"};
  for (size_t i = 0; i < names.size() && i < 4; ++i) probes.push_back(names[i]);
  for (size_t i = 0; i < count && i < 8; ++i)
    probes.push_back(std::string(image[i].name, strnlen(image[i].name, PAK_NAME_LIMIT)));
  for (const std::string& probe : probes) {
    PakEntry key;
    pak_set_entry_name(&key, probe.c_str());
    for (uint32_t c : {count, count > 0 ? count - 1 : 0u, 1u, 0u}) {
      if (c > count) continue;
      long at = pak_find_entry(image.data(), c, probe.c_str());
      CHECK(at >= -1);
      if (at >= 0) {
        CHECK(uint64_t(at) + 1 < c);
        CHECK(pak_entry_compare(&key, &image[size_t(at)]) == 0);
      }
    }
  }
  for (size_t i = 0; i + 1 < count && i < 16; ++i)
    CHECK(sign(pak_entry_compare(&image[i], &image[i + 1])) ==
          -sign(pak_entry_compare(&image[i + 1], &image[i])));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> names = names_of(data, size);
  check_name_compare(names);
  check_built_directory(names);
  check_raw_image(data, size, names);
  return 0;
}
