// Fuzz target: the input is a tag file, and the whole pack tool runs on it against an
// in-memory file system where every other path is a small file made from the path itself.
// The exit code is checked against a model of the tag file, a written archive against the
// archive format, and the file system for leaked handles and archives left after a failure.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>
#include "archive_path.h"
#include "gleaner.h"
#include "name_model.h"
#include "pak_format.h"
#include "path_split.h"
#include "sjis.h"
#include "fuzz_check.h"

namespace {

const char kTagPath[] = "UPDATE.TAG";
const size_t kDiskRoom = 256 * 1024;  // a write that would go beyond this fails (a full disk)
const size_t kPieceBytes = 259;       // a tag line longer than this comes in pieces

// ---- the fake file system ----

uint64_t path_hash(const std::string& path) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : path) h = (h ^ c) * 1099511628211ull;
  return h ^ (h >> 29);
}

// An empty path or one naming a directory does not open, nor does about one path in 13.
bool path_missing(const std::string& path) {
  if (path == kTagPath) return false;
  return path.empty() || ends_with_separator(path.c_str()) || path_hash(path) % 13 == 0;
}

// About one file in 31 is rewritten one byte longer after its first opening.
bool path_changes(const std::string& path) {
  return path != kTagPath && path_hash(path) % 31 == 1;
}

// Names with "*" or "?" cannot be created, as on Windows.
bool path_creatable(const std::string& path) {
  return path.find_first_of("*?") == std::string::npos;
}

const uint8_t* tag_data;
size_t tag_size;

// The contents of `path` at its `opening`-th opening (1-based).
std::string file_contents(const std::string& path, int opening) {
  if (path == kTagPath) return std::string(reinterpret_cast<const char*>(tag_data), tag_size);
  uint64_t h = path_hash(path);
  size_t size = size_t((h >> 8) % 300);
  if (opening > 1 && path_changes(path)) ++size;
  std::string data(size, '\0');
  uint64_t x = h | 1;
  for (size_t i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    data[i] = char(x >> 32);
  }
  return data;
}

struct FakeHandle {
  std::string path, data;
  size_t pos = 0;
  bool writing = false, open = true;
};

std::vector<FakeHandle> handles;
std::map<std::string, int> openings;        // open_read calls per path
std::map<std::string, std::string> created;  // files written and not removed
int creates = 0;

FakeHandle& handle_of(PackFile file) {
  CHECK(file >= 0 && size_t(file) < handles.size());
  FakeHandle& h = handles[size_t(file)];
  CHECK(h.open);  // no use after close
  return h;
}

PackFile fake_open_read(const char* path, size_t) {
  if (path_missing(path)) return PACK_NO_FILE;
  FakeHandle h;
  h.path = path;
  h.data = file_contents(path, ++openings[path]);
  handles.push_back(h);
  return PackFile(handles.size() - 1);
}

PackFile fake_create(const char* path, size_t) {
  if (!path_creatable(path)) return PACK_NO_FILE;
  ++creates;
  created[path].clear();
  FakeHandle h;
  h.path = path;
  h.writing = true;
  handles.push_back(h);
  return PackFile(handles.size() - 1);
}

int64_t fake_file_size(PackFile file) {
  FakeHandle& h = handle_of(file);
  return h.writing ? int64_t(created[h.path].size()) : int64_t(h.data.size());
}

long fake_read(PackFile file, void* buffer, unsigned long size) {
  FakeHandle& h = handle_of(file);
  CHECK(!h.writing);
  size_t n = std::min<size_t>(size, h.data.size() - h.pos);
  memcpy(buffer, h.data.data() + h.pos, n);
  h.pos += n;
  return long(n);
}

int fake_write(PackFile file, const void* data, unsigned long size) {
  FakeHandle& h = handle_of(file);
  CHECK(h.writing);
  std::string& out = created[h.path];
  if (out.size() + size > kDiskRoom) return -1;
  out.append(static_cast<const char*>(data), size);
  return 0;
}

int fake_close(PackFile file) {
  handle_of(file).open = false;
  return 0;
}

int fake_remove(const char* path, size_t) { return created.erase(path) ? 0 : -1; }

void* fake_grow(void* block, size_t size) { return realloc(block, size); }
void fake_release(void* block) { free(block); }
void fake_print(const char*, size_t) {}
size_t fake_tag_folder_bytes(void) { return 0; }  // tag paths are all cp932 here

// The separator is set for each run: "\\" as on Windows for inputs of odd length, else "/".
PackIo fuzz_io = {fake_open_read, fake_create, fake_file_size, fake_read,    fake_write,
                  fake_close,     fake_remove, fake_grow,      fake_release, fake_print,
                  fake_tag_folder_bytes, '/'};

// ---- the model of the tag file ----

struct ModelMember {
  std::string name, source;
  bool source_fits;
};

struct TagModel {
  std::vector<ModelMember> members;  // up to the first member that cannot be added
  std::string output_dir = "..";
  bool lines_ok = true;  // every member line names a file that opens, within the count limit
};

// The tag file as a text-mode stream gives it: Ctrl-Z ends it, CR LF becomes LF.
std::string text_of(const uint8_t* data, size_t size) {
  std::string text;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0x1A) break;
    if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') {
      text += '\n';
      ++i;
    } else {
      text += char(data[i]);
    }
  }
  return text;
}

TagModel model_tag_file(const uint8_t* data, size_t size) {
  TagModel model;
  std::string text = text_of(data, size);
  std::string source_dir;
  size_t pos = 0;
  while (pos < text.size()) {
    // A piece: up to 259 bytes, ending after a line feed.
    size_t end = pos;
    while (end < text.size() && end - pos < kPieceBytes) {
      if (text[end++] == '\n') break;
    }
    std::string line = text.substr(pos, end - pos);
    pos = end;
    size_t cut = 0;
    while (cut < line.size() && static_cast<unsigned char>(line[cut]) >= 0x20) ++cut;
    line.resize(cut);
    if (!line.empty() && line[0] == '>') {
      model.output_dir = line.substr(1);
    } else if (!line.empty() && line[0] == '<') {
      source_dir = line.substr(1);
    } else if (line.compare(0, 5, "..END") == 0) {
      break;
    } else {
      if (model.members.size() >= PAK_MAX_ENTRIES - 1) {
        model.lines_ok = false;
        break;
      }
      ModelMember m;
      m.name = line;
      char path[PATH_TEXT_SIZE];
      m.source_fits =
          join_path(path, sizeof path, source_dir.c_str(), line.c_str(), fuzz_io.separator) == 0;
      m.source = path;
      model.members.push_back(m);
      if (!m.source_fits || path_missing(m.source)) {
        model.lines_ok = false;
        break;
      }
    }
  }
  return model;
}

// ---- checks ----

uint32_t read_u32(const std::string& a, size_t at) {
  uint32_t v;
  memcpy(&v, a.data() + at, 4);
  return v;
}

void check_archive(const std::string& a, const TagModel& model) {
  const size_t members = model.members.size();
  const uint64_t n = members + 1;
  CHECK(a.size() >= PAK_HEADER_SIZE);
  CHECK(memcmp(a.data(), "ADPACK32", 8) == 0);
  CHECK(memcmp(a.data() + 8, "\x00\x00\x01\x00", 4) == 0);
  CHECK(read_u32(a, 12) == n);
  CHECK(PAK_HEADER_SIZE + PAK_ENTRY_SIZE * n <= a.size());
  std::vector<PakEntry> e(n);
  memcpy(e.data(), a.data() + PAK_HEADER_SIZE, PAK_ENTRY_SIZE * n);

  CHECK(e[0].offset == PAK_HEADER_SIZE + PAK_ENTRY_SIZE * n);
  for (size_t i = 0; i + 1 < n; ++i) CHECK(e[i].offset <= e[i + 1].offset);
  for (size_t i = 0; i + 2 < n; ++i) {
    CHECK(pak_entry_compare(&e[i], &e[i + 1]) < 0);
    CHECK(pak_entry_compare(&e[i + 1], &e[i]) > 0);
    CHECK(model_entry_order(e[i], e[i + 1]) < 0);
  }
  const PakEntry& end = e[n - 1];
  for (char c : end.name) CHECK(c == 0);
  CHECK(end.crc == 0 && end.offset == a.size());

  // Every member is found by its full name (and with the letter case swapped), at an entry
  // of its own holding its name field, its CRC and the contents of its source file.
  std::vector<bool> taken(n, false);
  for (const ModelMember& m : model.members) {
    long i = pak_find_entry(e.data(), uint32_t(n), m.name.c_str());
    CHECK(i >= 0 && uint64_t(i) < members && !taken[size_t(i)]);
    taken[size_t(i)] = true;
    CHECK(pak_find_entry(e.data(), uint32_t(n), model_swap_case(m.name).c_str()) == i);
    char field[PAK_NAME_FIELD] = {};
    memcpy(field, m.name.data(), std::min<size_t>(m.name.size(), PAK_NAME_LIMIT));
    CHECK(memcmp(e[size_t(i)].name, field, PAK_NAME_FIELD) == 0);
    CHECK(e[size_t(i)].crc == model_crc(m.name));
    std::string data = a.substr(e[size_t(i)].offset, e[size_t(i) + 1].offset - e[size_t(i)].offset);
    CHECK(data == file_contents(m.source, 1));
  }
}

// Whether the run must succeed, from the model: every line named a file, no two names are
// alike, the archive can be created where the tag file says, it fits on the disk, and no
// member file changes while it is packed.
bool expect_success(const TagModel& model, std::string* archive_path) {
  if (!model.lines_ok) return false;
  std::vector<ModelKey> keys;
  uint64_t size = PAK_HEADER_SIZE + PAK_ENTRY_SIZE * (model.members.size() + 1);
  bool ok = true;
  for (const ModelMember& m : model.members) {
    keys.push_back(model_key(m.name));
    size += file_contents(m.source, 1).size();
    if (path_changes(m.source)) ok = false;
  }
  std::sort(keys.begin(), keys.end(), [](const ModelKey& x, const ModelKey& y) {
    return model_key_order(x, y) < 0;
  });
  for (size_t i = 1; i < keys.size(); ++i)
    if (model_key_order(keys[i - 1], keys[i]) == 0) return false;
  char name[PATH_TEXT_SIZE], path[PATH_TEXT_SIZE];
  if (make_archive_name(name, sizeof name, kTagPath, fuzz_io.separator) != 0) return false;
  bool fits =
      join_path(path, sizeof path, model.output_dir.c_str(), name, fuzz_io.separator) == 0;
  *archive_path = path;
  return ok && fits && path_creatable(path) && size <= kDiskRoom;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tag_data = data;
  tag_size = size;
  handles.clear();
  openings.clear();
  created.clear();
  creates = 0;
  fuzz_io.separator = size % 2 ? '\\' : '/';

  std::string program = "GLEANER", tag = kTagPath;
  char* argv[] = {&program[0], &tag[0], nullptr};
  int rc = gleaner_run(2, argv, &fuzz_io);

  for (const FakeHandle& h : handles) CHECK(!h.open);  // every file was closed
  TagModel model = model_tag_file(data, size);
  std::string archive_path;
  bool success = expect_success(model, &archive_path);
  if (getenv("FUZZ_TAG_FILE_TRACE")) {  // to look into a reproducer
    fprintf(stderr, "exit code %d, expected %d; %zu member lines, archive [%s] %s\n", rc,
            success ? 0 : 1, model.members.size(), archive_path.c_str(),
            created.empty() ? "not left" : "written");
  }
  CHECK(rc == (success ? 0 : 1));
  if (rc != 0) {
    CHECK(created.empty());  // a failed run leaves no archive behind
    return 0;
  }
  CHECK(creates == 1 && created.size() == 1 && created.begin()->first == archive_path);
  check_archive(created.begin()->second, model);
  return 0;
}
