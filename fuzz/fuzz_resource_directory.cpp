// Fuzz target: the input, written to a file, is added as an archive source and read in
// whatever directory format its first word names. Names taken from its own entries (and a
// few fixed ones) are looked up; every hit must open at a position and length inside the
// archive. Nothing may crash, exit or leak.
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "frame_double.h"
#include "resource_lookup.h"
#include "resource_sources.h"
#include "fuzz_check.h"

namespace {

std::string g_archive;  // absolute path of the scratch archive

// "NAME    EXT" back to "NAME.EXT" (spaces dropped at the end of each part).
std::string from_short_text(const char* field) {
  std::string base(field, strnlen(field, 8));
  std::string ext(field + 8, strnlen(field + 8, 3));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  while (!ext.empty() && ext.back() == ' ') ext.pop_back();
  return ext.empty() ? base : base + "." + ext;
}

std::string swap_case(std::string name) {
  for (char& c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) c = char(c ^ 0x20);
  }
  return name;
}

std::vector<std::string> probe_names(const ResourceSlot* slot, const uint8_t* data, size_t size) {
  std::vector<std::string> names = {"UPDATE.ENV", "update.bmp", "README.TXT", "PICTURE.JPEG",
                                    "@UPDATE.PAK:UPDATE.ENV", "@A", "", "A", ".", "NOEXT",
                                    "\x83\x5C.TXT", "DIR\\\x95\x5C\\X.BMP"};
  for (uint32_t i = 0; i < slot->count && i < 24; ++i) {
    std::string name;
    if (slot->pak) name.assign(slot->pak[i].name, strnlen(slot->pak[i].name, PAK_NAME_LIMIT));
    if (slot->ac) name.assign(slot->ac[i].name, strnlen(slot->ac[i].name, AC_NAME_LIMIT));
    if (slot->short_names) name = from_short_text(slot->short_names[i].name);
    if (slot->keyed) continue;  // keys cannot be turned back into names
    names.push_back(name);
    names.push_back(swap_case(name));
    names.push_back("SUB\\" + name);
  }
  // Lines of the input's tail also serve as names (they reach keyed tables by chance).
  size_t start = size > 64 ? size - 64 : 0;
  for (size_t i = start; i < size && names.size() < 96; ++i) {
    size_t end = i;
    while (end < size && data[end] != '\n' && data[end] != 0) ++end;
    if (end > i) names.emplace_back(reinterpret_cast<const char*>(data + i), end - i);
    i = end;
  }
  return names;
}

void check_name(const std::string& name, int64_t archive_size) {
  if (!resource_exists(name.c_str())) {
    CHECK(resource_length() >= -1);
    return;
  }
  // It resolved to something that opens, so open_resource will not ask.
  int asked = frame_double()->questions;
  FILE* stream = open_resource(name.c_str(), "rb");
  CHECK(frame_double()->questions == asked);
  long position = ftell(stream);
  int32_t length = resource_length();
  CHECK(position >= 0 && length >= 0);
  if (position > 0) CHECK(int64_t(position) + length <= archive_size);  // an archive member
  close_resource(stream);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char dir[] = "/tmp/fuzz_resource_directory.XXXXXX";
  if (!mkdtemp(dir)) abort();
  g_archive = std::string(dir) + "/UPDATE.PAK";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  reset_resource_sources();
  frame_double_reset();
  FILE* file = fopen(g_archive.c_str(), "wb");
  if (!file) abort();
  if (size) fwrite(data, 1, size, file);
  fclose(file);

  CHECK(add_archive_source(g_archive.c_str()) == 0);
  if (size % 3 == 0) CHECK(add_archive_source(g_archive.c_str()) == 0);  // reload in place
  CHECK(first_free_slot() == 1);
  const ResourceSlot* slot = resource_slot(0);
  CHECK(slot->archive_size == int64_t(size));
  int tables = !!slot->short_names + !!slot->keyed + !!slot->ac + !!slot->pak;
  CHECK(tables <= 1);
  CHECK((tables == 1) == (slot->count > 0));

  std::vector<std::string> names = probe_names(slot, data, size);
  for (const std::string& name : names) check_name(name, slot->archive_size);
  CHECK(frame_double()->box_count == 0);
  reset_resource_sources();
  return 0;
}
