// Fuzz target: `pak test` and `pak list` (table and JSON) and `pak find` on the input written
// to a file, with the console frame the tool runs on. Nothing may crash, exit or leak, and
// an archive `pak test` finds sound must hold what extraction relies on: every member's data
// inside the file, every named member found by the updater's lookup, and every extraction
// name free of folder parts.
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "pak_archive.h"
#include "pak_check.h"
#include "pak_commands.h"
#include "pak_list.h"
#include "pak_safe_name.h"
#include "sjis.h"
#include "fuzz_check.h"

namespace {

std::string g_archive;  // absolute path of the scratch archive
FILE* g_sink;           // the tool's output goes nowhere

// A name without a folder part, drive, "." or ".." and without a lone lead byte at its end.
void check_safe(const char* name) {
  char safe[PATH_TEXT_SIZE];
  const char* why;
  SafeName kind = pak_safe_name(name, safe, &why);
  if (kind == SAFE_NAME_REFUSED) {
    CHECK(safe[0] == 0 && why);
    return;
  }
  CHECK(safe[0] && strcmp(safe, ".") != 0 && strcmp(safe, "..") != 0);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(safe);
  while (*p) {
    if (is_sjis_lead_byte(*p)) {
      CHECK(p[1] != 0);
      p += 2;
      continue;
    }
    CHECK(*p != '\\' && *p != '/' && *p != ':');
    ++p;
  }
}

void check_sound_archive(void) {
  for (uint32_t i = 0; i < pak_member_count(); ++i) {
    const PakMember* m = pak_member(i);
    CHECK(m->size >= 0);
    CHECK(int64_t(m->offset) + m->size <= pak_archive_size());
    if (!m->named || m->cut) continue;
    char looked_up[PATH_TEXT_SIZE];
    CHECK(pak_lookup(m->name, looked_up) == long(i));
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char dir[] = "/tmp/fuzz_pak_tool.XXXXXX";
  if (!mkdtemp(dir)) abort();
  g_archive = std::string(dir) + "/UPDATE.PAK";
  g_sink = fopen("/dev/null", "w");
  if (!g_sink) abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = fopen(g_archive.c_str(), "wb");
  if (!file) abort();
  if (size) fwrite(data, 1, size, file);
  fclose(file);

  const char* reason;
  if (pak_open_archive(g_archive.c_str(), &reason) != 0) {
    CHECK(size < 2 && reason);
    CHECK(pak_test(g_archive.c_str(), g_sink, g_sink) == PAK_EXIT_USAGE);
    return 0;
  }
  CHECK(pak_archive_size() == int64_t(size));
  int faults = pak_check_archive(g_sink);
  if (faults == 0) check_sound_archive();
  for (uint32_t i = 0; i < pak_member_count(); ++i)
    if (pak_member(i)->named) check_safe(pak_member(i)->name);
  pak_list_archive(g_sink, false);
  pak_list_archive(g_sink, true);
  pak_close_archive();

  // The commands as the program runs them, with a name taken from the input's tail.
  CHECK(pak_test(g_archive.c_str(), g_sink, g_sink) == (faults ? PAK_EXIT_FAULTS : PAK_EXIT_OK));
  std::string name(reinterpret_cast<const char*>(data) + (size > 12 ? size - 12 : 0), size > 12 ? 12 : size);
  name = name.substr(0, strnlen(name.c_str(), name.size()));
  int found = pak_find(g_archive.c_str(), name.c_str(), g_sink, g_sink);
  CHECK(found == PAK_EXIT_OK || found == PAK_EXIT_FAULTS);
  return 0;
}
