// In-memory file operations for the pack tool's tests.
#include "fake_pack_io.h"
#include <cstdlib>
#include <cstring>
#include "gleaner.h"

namespace {

FakeFs fs;

struct Handle {
  std::string path;
  size_t pos = 0;
  bool writing = false;
  bool open = false;
};
std::vector<Handle> handles;

// The key of the tool's `path` in the fake: the stand-in replaced as the platforms do.
std::string stored_path(const char* text, size_t folder_bytes) {
  if (folder_bytes == 0 || folder_bytes != fs.tag_folder_bytes) return text;
  return kTagFolder + std::string(text + folder_bytes);
}

PackFile fake_open_read(const char* text, size_t folder_bytes) {
  std::string path = stored_path(text, folder_bytes);
  auto it = fs.files.find(path);
  if (it == fs.files.end()) return PACK_NO_FILE;
  int times = ++fs.opened[path];
  if (times >= 2 && fs.vanish_after_measure == path) return PACK_NO_FILE;
  if (times == 2 && fs.after_measure.count(path)) it->second = fs.after_measure[path];
  Handle h;
  h.path = path;
  h.open = true;
  handles.push_back(h);
  ++fs.open_files;
  return PackFile(handles.size() - 1);
}

PackFile fake_create(const char* text, size_t folder_bytes) {
  std::string path = stored_path(text, folder_bytes);
  if (fs.fail_create) return PACK_NO_FILE;
  fs.files[path].clear();
  Handle h;
  h.path = path;
  h.writing = h.open = true;
  handles.push_back(h);
  ++fs.open_files;
  return PackFile(handles.size() - 1);
}

int64_t fake_file_size(PackFile file) {
  const Handle& h = handles[size_t(file)];
  auto over = fs.size_override.find(h.path);
  if (over != fs.size_override.end()) return over->second;
  return int64_t(fs.files[h.path].size());
}

long fake_read(PackFile file, void* buffer, unsigned long size) {
  if (++fs.reads == fs.fail_read) return -1;
  Handle& h = handles[size_t(file)];
  const std::string& data = fs.files[h.path];
  size_t n = std::min<size_t>(size, data.size() - std::min(h.pos, data.size()));
  memcpy(buffer, data.data() + h.pos, n);
  h.pos += n;
  return long(n);
}

int fake_write(PackFile file, const void* data, unsigned long size) {
  if (++fs.writes == fs.fail_write) return -1;
  Handle& h = handles[size_t(file)];
  auto it = fs.files.find(h.path);
  if (it != fs.files.end()) it->second.append(static_cast<const char*>(data), size);
  return 0;
}

int fake_close(PackFile file) {
  Handle& h = handles[size_t(file)];
  if (!h.open) abort();  // closed twice
  h.open = false;
  --fs.open_files;
  return ++fs.closes == fs.fail_close ? -1 : 0;
}

int fake_remove(const char* text, size_t folder_bytes) {
  return fs.files.erase(stored_path(text, folder_bytes)) ? 0 : -1;
}

void* fake_grow(void* block, size_t size) {
  if (++fs.grows == fs.fail_grow) return nullptr;
  return realloc(block, size);
}

void fake_print(const char* text, size_t length) { fs.console.append(text, length); }

size_t fake_tag_folder_bytes(void) { return fs.tag_folder_bytes; }

const PackIo kFakeIo = {fake_open_read, fake_create, fake_file_size, fake_read,  fake_write,
                        fake_close,     fake_remove, fake_grow,      free,       fake_print,
                        fake_tag_folder_bytes, '\\'};

}  // namespace

FakeFs& fake_fs() { return fs; }

void fake_reset() {
  fs = FakeFs();
  handles.clear();
}

const PackIo* fake_pack_io() { return &kFakeIo; }

int run_gleaner(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string program = "GLEANER";
  argv.push_back(&program[0]);
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  return gleaner_run(int(argv.size() - 1), argv.data(), fake_pack_io());
}
