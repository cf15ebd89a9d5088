// Fuzz target: the dry run on an arbitrary game folder and UPDATE.ENV. The input is the
// folder's entries, one a line up to an empty line (a first byte "d" makes a folder, "r" a
// read-only file, anything else a file; the rest is the name), then the free space and the
// folder's path length as two bytes, then the description. A source exists when its name's
// length is even. Checked: every outcome is one the run can give, the final files run only
// after success, a refused start changes nothing, only a deletion takes an entry away (never
// a folder, nor a read-only file unless a copy replaced it first), and both outputs are
// written.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "dry_run.h"
#include "env_table.h"
#include "game_folder.h"
#include "sjis.h"

namespace {

#define CHECK(condition)                \
  do {                                  \
    if (!(condition)) __builtin_trap(); \
  } while (0)

int even_sources(const char* source, uint64_t* size, uint64_t* hash) {
  size_t length = strlen(source);
  if (length % 2) return -1;
  *size = length * 1000;
  *hash = content_hash(CONTENT_HASH_START, source, length);
  return 0;
}

void sink(void* context, const char* text) { *static_cast<size_t*>(context) += strlen(text); }

// True when a copy replaced the file `name`, which leaves it writable.
bool replaced(const std::string& name) {
  const DryRun* run = dry_run();
  for (int i = 0; i < run->steps.count; i++)
    if (run->result[i].outcome == DRY_READONLY_REPLACED &&
        sjis_icompare(run->result[i].place, name.c_str()) == 0)
      return true;
  return false;
}

struct Before {
  std::string name;
  uint32_t attributes;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  game_folder_reset();
  size_t pos = 0;
  while (pos < size && data[pos] != '\n') {
    size_t end = pos;
    while (end < size && data[end] != '\n') end++;
    std::string line(reinterpret_cast<const char*>(data + pos), end - pos);
    line = line.substr(0, strnlen(line.c_str(), line.size()));
    uint32_t attributes = line[0] == 'd'   ? GAME_FOLDER
                          : line[0] == 'r' ? GAME_READONLY | GAME_ARCHIVE
                                           : GAME_ARCHIVE;
    std::string name = line.size() > 1 ? line.substr(1, GAME_NAME_SIZE - 1) : "";
    game_put(name.c_str(), name.c_str(), attributes, name.size(), 1);
    pos = end < size ? end + 1 : end;
  }
  if (pos < size) pos++;  // the empty line
  DrySettings settings = {0, -1};
  if (pos + 2 <= size) {
    settings.free_mib = data[pos] == 0xFF ? -1 : data[pos];
    settings.folder_units = data[pos + 1];
    pos += 2;
  }
  FILE* stream = fmemopen(const_cast<uint8_t*>(data + pos), size - pos, "rb");
  if (size > pos && stream) {
    env_load_stream(stream);
  } else {
    env_reset();
  }
  if (stream) fclose(stream);

  std::vector<Before> before;
  for (int i = 0; i < game_entry_count(); i++)
    before.push_back({game_entry(i)->name, game_entry(i)->attributes});
  set_dry_source_probe(even_sources);
  DryEnd end = run_dry(&settings);
  const DryRun* run = dry_run();
  int failed = 0, deleted = 0;
  for (int i = 0; i < run->steps.count; i++) {
    DryOutcome outcome = run->result[i].outcome;
    CHECK(outcome >= DRY_COPIED_NEW && outcome <= DRY_NOT_RUN);
    CHECK((outcome == DRY_NOT_RUN) ==
          (end == DRY_END_MOREDISKFREE || (run->steps.step[i].final && end == DRY_END_FAILED)));
    failed |= dry_outcome_failed(outcome);
    deleted += outcome == DRY_DELETED;
  }
  CHECK((end == DRY_END_FAILED) == (failed != 0));
  int removed = 0;
  for (const Before& b : before) {
    if (b.name.empty() || game_find(b.name.c_str())) continue;
    CHECK(!(b.attributes & GAME_FOLDER) && end != DRY_END_MOREDISKFREE);
    if (b.attributes & GAME_READONLY) CHECK(replaced(b.name));
    removed++;
  }
  CHECK(removed <= deleted);
  size_t written = 0;
  write_dry_report(sink, &written);
  write_prediction(sink, &written);
  CHECK(written > 0);
  set_dry_source_probe(nullptr);
  return 0;
}
