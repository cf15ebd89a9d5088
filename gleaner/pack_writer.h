// Writing the archive: header, directory and the members' data, checked against the
// sizes measured when the tag file was read.
#pragma once
#include <cstdint>
#include "pack_io.h"
#include "pak_format.h"
#include "path_split.h"

// One member line of the tag file.
struct MemberRecord {
  PakEntry entry;                  // name field and CRC; the offset field holds the size
  char full_name[PAK_CRC_LIMIT + 1];  // first 63 bytes of the name
  char source[PATH_TEXT_SIZE];     // the file packed under this name
  uint32_t line_order;             // position in the tag file
};

// Formats a console text (Shift-JIS bytes) and prints it through `io`.
void pack_say(const PackIo* io, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Writes the archive at `archive_path` from `count` sorted members; `folder_bytes` is passed
// on to the file operations with the path (pack_io.h). `path_fits` is 0 when the path had to
// be cut, which is refused like a file that cannot be created. Returns the exit code: 0 for
// a complete archive; 1 after a failure, with no archive left behind.
int write_archive(const char* archive_path, size_t folder_bytes, int path_fits,
                  const MemberRecord* members, uint32_t count, const PackIo* io);
