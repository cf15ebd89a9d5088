// Test fixtures for the resource file system: a scratch current directory per test, files
// named by Shift-JIS bytes, and small writers for the four archive directory formats.
#pragma once
#include <gtest/gtest.h>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

enum ArchiveFormat { FORMAT_SHORT_NAME, FORMAT_KEYED, FORMAT_AC, FORMAT_PAK };

struct Member {
  std::string name;  // Shift-JIS; short-name and keyed archives store its 8.3 key text
  std::string data;
};

// The native path of a Shift-JIS path with "\" separators (UTF-16 on Windows).
std::filesystem::path native_path(const std::string& sjis);
void put_file(const std::string& sjis, const std::string& bytes);
void make_dir(const std::string& sjis);
void remove_file(const std::string& sjis);

// "NAME    EXT" for an 8.3 name (upper-cased, space-padded), as the two short formats store it.
std::string short_key_text(const std::string& name);

// Archive images. Short-name and keyed archives keep the data in table order (the keyed table
// sorted by key), or in the file order `data_order` gives by member name (each member once);
// AC and PAK archives sort their directory by name and end it with the end entry. Each
// member's data starts where its entry says.
std::string short_name_archive(const std::vector<Member>& members,
                               const std::vector<std::string>& data_order = {});
std::string keyed_archive(const std::vector<Member>& members,
                          const std::vector<std::string>& data_order = {});
std::string ac_archive(const std::vector<Member>& members);
std::string pak_archive(const std::vector<Member>& members);
std::string write_archive(ArchiveFormat format, const std::vector<Member>& members);

// Little-endian integers inside an image.
void put_u16(std::string& image, size_t at, uint16_t value);
void put_u32(std::string& image, size_t at, uint32_t value);
uint32_t get_u32(const std::string& image, size_t at);

// Runs each test in a fresh directory below the build's test folder and leaves the resource
// table, the lookup's opener and the frame double empty afterwards.
class ScratchTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path saved_, scratch_;
};

// Reads a stream to its end.
std::string read_rest(FILE* stream);
