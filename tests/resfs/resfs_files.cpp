// Scratch directories, Shift-JIS file names and the archive writers of the resfs tests.
#include "resfs_files.h"
#include <algorithm>
#include <cstring>
#include "frame_double.h"
#include "pak_format.h"
#include "path_split.h"
#include "resource_lookup.h"
#include "resource_sources.h"
#include "sjis.h"
#ifdef _WIN32
#include <process.h>
#include "wide_text.h"
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

fs::path native_path(const std::string& sjis) {
#ifdef _WIN32
  wchar_t wide[1040];
  if (cp932_to_wide(sjis.c_str(), wide, 1040, WIDE_NAME) < 0) ADD_FAILURE() << "bad name";
  return fs::path(wide);
#else
  char posix[1040];
  if (posix_path(sjis.c_str(), posix, sizeof posix) != 0) ADD_FAILURE() << "long name";
  return fs::path(posix);
#endif
}

void put_file(const std::string& sjis, const std::string& bytes) {
#ifdef _WIN32
  FILE* f = _wfopen(native_path(sjis).c_str(), L"wb");
#else
  FILE* f = fopen(native_path(sjis).c_str(), "wb");
#endif
  ASSERT_NE(nullptr, f) << sjis;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

void make_dir(const std::string& sjis) { fs::create_directories(native_path(sjis)); }

void remove_file(const std::string& sjis) { fs::remove(native_path(sjis)); }

void put_u16(std::string& image, size_t at, uint16_t value) {
  image[at] = char(value & 0xFF);
  image[at + 1] = char(value >> 8);
}

void put_u32(std::string& image, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = char((value >> (8 * i)) & 0xFF);
}

uint32_t get_u32(const std::string& image, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | uint8_t(image[at + i]);
  return value;
}

std::string short_key_text(const std::string& name) {
  PathParts parts;
  split_path(name.c_str(), &parts);
  std::string text = std::string(parts.base).substr(0, 8);
  text.resize(8, ' ');
  std::string ext = parts.ext[0] ? std::string(parts.ext + 1).substr(0, 3) : "";
  ext.resize(3, ' ');
  text += ext;
  for (char& c : text) if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');  // bytes, no locale
  return text;
}

// Header, then entries of `entry_size` made by `entry(i, offset)`, then the data: in table
// order, or in the file order that `data_order` gives by member name.
template <typename MakeEntry>
static std::string lay_out(const std::string& header, const std::vector<Member>& members,
                           size_t entry_size, size_t table_entries, MakeEntry entry,
                           const std::vector<std::string>& data_order = {}) {
  std::vector<size_t> order;
  for (const std::string& name : data_order) {
    for (size_t i = 0; i < members.size(); ++i) if (members[i].name == name) order.push_back(i);
  }
  if (data_order.empty()) for (size_t i = 0; i < members.size(); ++i) order.push_back(i);
  EXPECT_EQ(members.size(), order.size()) << "data_order names each member once";
  std::vector<uint32_t> offsets(members.size());
  uint32_t offset = uint32_t(header.size() + entry_size * table_entries);
  std::string data;
  for (size_t i : order) {
    offsets[i] = offset;
    offset += uint32_t(members[i].data.size());
    data += members[i].data;
  }
  std::string image = header;
  for (size_t i = 0; i < members.size(); ++i) image += entry(i, offsets[i]);
  if (table_entries > members.size()) image += entry(members.size(), offset);  // end entry
  return image + data;
}

std::string short_name_archive(const std::vector<Member>& members,
                               const std::vector<std::string>& data_order) {
  std::string header(2, 0);
  put_u16(header, 0, uint16_t(members.size()));
  return lay_out(header, members, 16, members.size(), [&](size_t i, uint32_t offset) {
    std::string e = short_key_text(members[i].name) + std::string(5, 0);
    put_u32(e, 12, offset);
    return e;
  }, data_order);
}

std::string keyed_archive(const std::vector<Member>& unsorted,
                          const std::vector<std::string>& data_order) {
  std::vector<Member> members = unsorted;
  std::stable_sort(members.begin(), members.end(), [](const Member& a, const Member& b) {
    return short_name_key(short_key_text(a.name).c_str()) < short_name_key(short_key_text(b.name).c_str());
  });
  std::string header(4, 0);
  put_u16(header, 0, 0x4000);
  put_u16(header, 2, uint16_t(members.size()));
  return lay_out(header, members, 8, members.size(), [&](size_t i, uint32_t offset) {
    std::string e(8, 0);
    put_u32(e, 0, short_name_key(short_key_text(members[i].name).c_str()));
    put_u32(e, 4, offset);
    return e;
  }, data_order);
}

std::string ac_archive(const std::vector<Member>& unsorted) {
  std::vector<Member> members = unsorted;
  std::stable_sort(members.begin(), members.end(), [](const Member& a, const Member& b) {
    return sjis_icompare(a.name.substr(0, 27).c_str(), b.name.substr(0, 27).c_str()) < 0;
  });
  std::string header(16, 0);
  header[0] = 'A';
  header[1] = 'C';
  put_u32(header, 12, uint32_t(members.size() + 1));
  return lay_out(header, members, 32, members.size() + 1, [&](size_t i, uint32_t offset) {
    std::string e(32, 0);
    if (i < members.size()) memcpy(&e[0], members[i].name.data(), std::min<size_t>(27, members[i].name.size()));
    put_u32(e, 28, offset);
    return e;
  });
}

std::string pak_archive(const std::vector<Member>& unsorted) {
  std::vector<Member> members = unsorted;
  std::stable_sort(members.begin(), members.end(), [](const Member& a, const Member& b) {
    PakEntry ka, kb;
    pak_set_entry_name(&ka, a.name.c_str());
    pak_set_entry_name(&kb, b.name.c_str());
    return pak_entry_compare(&ka, &kb) < 0;
  });
  PakHeader header;
  pak_init_header(&header, uint32_t(members.size() + 1));
  return lay_out(std::string(reinterpret_cast<const char*>(&header), sizeof header), members, 32,
                 members.size() + 1, [&](size_t i, uint32_t offset) {
                   PakEntry e;
                   memset(&e, 0, sizeof e);
                   if (i < members.size()) pak_set_entry_name(&e, members[i].name.c_str());
                   e.offset = offset;
                   return std::string(reinterpret_cast<const char*>(&e), sizeof e);
                 });
}

std::string write_archive(ArchiveFormat format, const std::vector<Member>& members) {
  switch (format) {
    case FORMAT_SHORT_NAME: return short_name_archive(members);
    case FORMAT_KEYED: return keyed_archive(members);
    case FORMAT_AC: return ac_archive(members);
    case FORMAT_PAK: return pak_archive(members);
  }
  return std::string();
}

static long process_id(void) {
#ifdef _WIN32
  return long(_getpid());
#else
  return long(getpid());
#endif
}

void ScratchTest::SetUp() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  // The process id keeps a death test's child (which starts over in the original directory)
  // out of its parent's scratch directory.
  std::string name = std::string("scratch-") + info->test_suite_name() + "-" + info->name() + "-" +
                     std::to_string(process_id());
  std::replace(name.begin(), name.end(), '/', '_');
  saved_ = fs::current_path();
  scratch_ = saved_ / name;
  fs::remove_all(scratch_);
  fs::create_directories(scratch_);
  fs::current_path(scratch_);
  reset_resource_sources();
  set_resource_opener(nullptr);
  frame_double_reset();
}

void ScratchTest::TearDown() {
  reset_resource_sources();
  set_resource_opener(nullptr);
  frame_double_reset();
  fs::current_path(saved_);
  std::error_code ignored;
  fs::remove_all(scratch_, ignored);
}

std::string read_rest(FILE* stream) {
  std::string data;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, stream)) > 0) data.append(buf, n);
  return data;
}
