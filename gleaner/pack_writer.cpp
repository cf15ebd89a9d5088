// Archive writing and member copying. Any failure after the archive was created removes
// it, so a build script never finds a partial or inconsistent archive.
#include "pack_writer.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

enum { COPY_BLOCK = 32768 };

// Result of copying one member.
enum CopyResult { COPY_OK, COPY_UNREADABLE, COPY_LENGTH_CHANGED, COPY_WRITE_FAILED };

char copy_buffer[COPY_BLOCK];  // the one copy buffer, reused for every member

CopyResult copy_member(const MemberRecord* member, uint32_t expected, PackFile archive,
                       const PackIo* io) {
  PackFile source = io->open_read(member->source, 0);
  if (source == PACK_NO_FILE) return COPY_UNREADABLE;
  uint64_t sum = 0;
  CopyResult result = COPY_OK;
  for (;;) {
    long got = io->read(source, copy_buffer, COPY_BLOCK);
    if (got < 0) {
      result = COPY_UNREADABLE;
      break;
    }
    if (got == 0) break;
    sum += uint64_t(got);
    if (sum > expected) break;  // grown since it was measured: no need to read the rest
    if (io->write(archive, copy_buffer, static_cast<unsigned long>(got)) != 0) {
      result = COPY_WRITE_FAILED;
      break;
    }
  }
  io->close(source);
  if (result == COPY_OK && sum != expected) result = COPY_LENGTH_CHANGED;
  return result;
}

// Reports `result` of copying `member` and says whether the run goes on.
int report_copy(CopyResult result, const MemberRecord* member, const char* archive_path,
                const PackIo* io) {
  switch (result) {
    case COPY_OK:
      return 1;
    case COPY_UNREADABLE:
      pack_say(io, "[%s]ファイルが読めないだ。", member->full_name);
      break;
    case COPY_LENGTH_CHANGED:
      pack_say(io, "警告！　ファイルが更新されました！　ばかー\n");
      break;
    case COPY_WRITE_FAILED:
      pack_say(io, "アーカイブに書き込めませんでした[%s]\n", archive_path);
      break;
  }
  return 0;
}

}  // namespace

void pack_say(const PackIo* io, const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  int n = vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (n < 0) return;
  io->print(text, size_t(n) < sizeof text ? size_t(n) : sizeof text - 1);
}

int write_archive(const char* archive_path, size_t folder_bytes, int path_fits,
                  const MemberRecord* members, uint32_t count, const PackIo* io) {
  PakEntry* directory = static_cast<PakEntry*>(io->grow(nullptr, (count + 1) * sizeof(PakEntry)));
  if (!directory) {
    pack_say(io, "メモリが足りません\n");
    return 1;
  }
  for (uint32_t i = 0; i < count; ++i) directory[i] = members[i].entry;
  pak_close_directory(directory, count);

  PackFile archive = path_fits ? io->create(archive_path, folder_bytes) : PACK_NO_FILE;
  if (archive == PACK_NO_FILE) {
    pack_say(io, "何だか開けませんでした[%s]\n", archive_path);
    io->release(directory);
    return 1;
  }
  PakHeader header;
  pak_init_header(&header, count + 1);
  int ok = io->write(archive, &header, sizeof header) == 0 &&
           io->write(archive, directory, (count + 1) * sizeof(PakEntry)) == 0;
  if (!ok) pack_say(io, "アーカイブに書き込めませんでした[%s]\n", archive_path);
  for (uint32_t i = 0; ok && i < count; ++i) {
    pack_say(io, "追加中[%s]\n", members[i].full_name);
    uint32_t expected = directory[i + 1].offset - directory[i].offset;
    ok = report_copy(copy_member(&members[i], expected, archive, io), &members[i],
                     archive_path, io);
  }
  io->release(directory);
  if (io->close(archive) != 0 && ok) {
    pack_say(io, "アーカイブに書き込めませんでした[%s]\n", archive_path);
    ok = 0;
  }
  if (!ok) io->remove(archive_path, folder_bytes);
  return ok ? 0 : 1;
}
