// Fuzz target: the medium checker on an arbitrary UPDATE.ENV and archive. Input: a flag byte,
// a little-endian u16 n, n bytes of UPDATE.ENV, then the rest. With flag bit 0 clear the rest
// is the splash picture, packed with UPDATE.ENV and a data file into a sound ADPACK32
// archive, so the checks of the table and of the picture are reached; with it set the rest is
// UPDATE.PAK as it stands and UPDATE.ENV a plain file beside it. The checker must never show
// a box, ask, exit, or read outside what it loaded, and its exit code is 0, 1 or 2.
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "frame_double.h"
#include "medium_check.h"
#include "pak_format.h"
#include "fuzz_check.h"

namespace {

void write_file(const char* name, const uint8_t* data, size_t size) {
  FILE* file = fopen(name, "wb");
  if (!file) abort();
  if (size) fwrite(data, 1, size, file);
  fclose(file);
}

struct Member {
  const char* name;
  std::string data;
};

// A sound ADPACK32 archive of `members`: sorted directory, end entry, data in table order.
std::string pak_of(std::vector<Member> members) {
  std::vector<PakEntry> entries(members.size() + 1);
  std::vector<size_t> order(members.size());
  for (size_t i = 0; i < members.size(); ++i) order[i] = i;
  std::vector<PakEntry> keys(members.size());
  for (size_t i = 0; i < members.size(); ++i) pak_set_entry_name(&keys[i], members[i].name);
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return pak_entry_compare(&keys[a], &keys[b]) < 0; });
  uint32_t offset = uint32_t(PAK_HEADER_SIZE + PAK_ENTRY_SIZE * entries.size());
  std::string data;
  for (size_t i = 0; i < entries.size(); ++i) {
    memset(&entries[i], 0, sizeof entries[i]);
    if (i < members.size()) entries[i] = keys[order[i]];
    entries[i].offset = offset + uint32_t(data.size());
    if (i < members.size()) data += members[order[i]].data;
  }
  PakHeader header;
  pak_init_header(&header, uint32_t(entries.size()));
  return std::string(reinterpret_cast<const char*>(&header), sizeof header) +
         std::string(reinterpret_cast<const char*>(entries.data()),
                     PAK_ENTRY_SIZE * entries.size()) +
         data;
}

void ignore_text(void*, const char* text) { CHECK(text != nullptr); }

// The scratch medium folder; each run works in it and goes back, so that libFuzzer's own
// relative paths (corpus, artifacts) keep their meaning.
char g_medium[] = "/tmp/fuzz_medium_check.XXXXXX";
int g_home = -1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_home = open(".", O_RDONLY | O_DIRECTORY);
  if (g_home < 0 || !mkdtemp(g_medium) || chdir(g_medium) != 0) abort();
  write_file("ReadMe.txt", reinterpret_cast<const uint8_t*>("x"), 1);
  if (fchdir(g_home) != 0) abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  if (chdir(g_medium) != 0) abort();
  frame_double_reset();
  bool raw = data[0] & 1;
  size_t env_size = std::min<size_t>(size_t(data[1] | data[2] << 8), size - 3);
  const uint8_t* env = data + 3;
  const uint8_t* rest = env + env_size;
  size_t rest_size = size - 3 - env_size;
  unlink("UPDATE.ENV");
  if (raw) {
    write_file("UPDATE.PAK", rest, rest_size);
    if (env_size) write_file("UPDATE.ENV", env, env_size);
  } else {
    std::string itw(134, 0);
    std::string archive =
        pak_of({{"UPDATE.ENV", std::string(reinterpret_cast<const char*>(env), env_size)},
                {"update.bmp", std::string(reinterpret_cast<const char*>(rest), rest_size)},
                {"update.itw", itw}});
    write_file("UPDATE.PAK", reinterpret_cast<const uint8_t*>(archive.data()), archive.size());
  }
  int code = check_medium();
  CHECK(code == 0 || code == 1 || code == 2);
  write_medium_report(ignore_text, nullptr);
  CHECK(frame_double()->box_count == 0 && frame_double()->questions == 0);
  if (fchdir(g_home) != 0) abort();
  return 0;
}
