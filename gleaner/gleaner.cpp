// The pack tool's main sequence: usage text, tag file, measuring, sorting, limits, writing.
#include "gleaner.h"
#include <cstdlib>
#include <cstring>
#include "archive_path.h"
#include "pack_writer.h"
#include "tag_reader.h"

namespace {

const char* const kUsage[] = {
    "幾つかのファイルを一つにまとめるぞ",
    "Usage : GLEANER <tagfile.tag>",
    "",
    "TAGFAILEの書き方",
    "------------------------ 例のスタートここから -----------------------",
    "<I:\\from\t\t// ファイルを所得元ディレクトリ 省略するとカレント",
    ">T:\\to\t\t// 出力先ディレクトリ　省略するとカレント",
    "MAIN.OBJ",
    "WINDOW.OBJ",
    "PALETTE.OBJ",
    "SCREEN.OBJ",
    "BITMAP.OBJ",
    "TEXT.OBJ",
    "INPUT.OBJ",
    "SOUND.OBJ",
    "SCRIPT.OBJ",
    "SAVEDATA.OBJ",
    "UTIL.OBJ",
    "..END\t<- ..ENDが終了命令",
    "------------------------ 例終了 -----------------------",
    "出力ファイルは「tagfile.pak」になります",
    "要は、「dir /b」した感覚ね。",
};

// What the tag file gave: the members in line order, and the two directories.
struct TagList {
  MemberRecord* members;
  uint32_t count, capacity;
  uint64_t data_size;               // sum of the members' sizes
  char output_dir[TAG_LINE_SIZE];   // where the archive goes; ".." until a ">" line
  char source_dir[TAG_LINE_SIZE];   // prefix of member paths; empty means as they stand
};

// Outcome of reading the tag file.
enum { LIST_OK = 0, LIST_FAILED = 1 };

// Appends one zeroed record; null when memory runs out.
MemberRecord* add_record(TagList* list, const PackIo* io) {
  if (list->count == list->capacity) {
    uint32_t capacity = list->capacity ? list->capacity * 2 : 64;
    void* grown = io->grow(list->members, capacity * sizeof(MemberRecord));
    if (!grown) return nullptr;
    list->members = static_cast<MemberRecord*>(grown);
    list->capacity = capacity;
  }
  MemberRecord* record = &list->members[list->count];
  memset(record, 0, sizeof *record);
  record->line_order = list->count++;
  return record;
}

// Records the member named `name` and measures its file.
int add_member(TagList* list, const char* name, const PackIo* io) {
  if (list->count >= PAK_MAX_ENTRIES - 1) {
    pack_say(io, "ファイルが多すぎます。一つのアーカイブには%u個までです[%s]\n",
             unsigned(PAK_MAX_ENTRIES - 1), name);
    return LIST_FAILED;
  }
  MemberRecord* record = add_record(list, io);
  if (!record) {
    pack_say(io, "メモリが足りません\n");
    return LIST_FAILED;
  }
  pak_set_entry_name(&record->entry, name);
  copy_text(record->full_name, sizeof record->full_name, name, strlen(name));
  int fits = join_path(record->source, sizeof record->source, list->source_dir, name,
                       io->separator) == 0;
  PackFile file = fits ? io->open_read(record->source, 0) : PACK_NO_FILE;
  if (file == PACK_NO_FILE) {
    pack_say(io, "FILE [%s]がみつかりません\n", name);
    return LIST_FAILED;
  }
  int64_t size = io->file_size(file);
  io->close(file);
  if (size < 0) {
    pack_say(io, "FILE [%s]がみつかりません\n", name);
    return LIST_FAILED;
  }
  // The updater seeks with signed 32-bit offsets: the whole archive must stay below 2 GiB.
  list->data_size += uint64_t(size);
  uint64_t archive_size =
      PAK_HEADER_SIZE + uint64_t(PAK_ENTRY_SIZE) * (list->count + 1) + list->data_size;
  if (archive_size > PAK_MAX_ARCHIVE_SIZE) {
    pack_say(io, "アーカイブが2GB以上になってしまいます[%s]\n", name);
    return LIST_FAILED;
  }
  record->entry.offset = static_cast<uint32_t>(size);  // the size, until offsets are assigned
  return LIST_OK;
}

// Reads the tag file's lines into `list`.
int read_tag_file(TagList* list, const char* tag_path, PackFile tag, const PackIo* io) {
  TagReader* reader = static_cast<TagReader*>(io->grow(nullptr, sizeof(TagReader)));
  if (!reader) {
    pack_say(io, "メモリが足りません\n");
    return LIST_FAILED;
  }
  tag_reader_start(reader, io, tag);
  char line[TAG_LINE_SIZE];
  int rc = LIST_OK, got;
  while (rc == LIST_OK && (got = tag_read_line(reader, line)) != 0) {
    if (got < 0) {
      pack_say(io, "タグファイルが読めません[%s]\n", tag_path);
      rc = LIST_FAILED;
    } else if (line[0] == '>') {
      strcpy(list->output_dir, line + 1);
      pack_say(io, "ファイル出力先ディレクトリ[%s]\n", list->output_dir);
    } else if (line[0] == '<') {
      strcpy(list->source_dir, line + 1);
      pack_say(io, "ファイル所得元ディレクトリ[%s]\n", list->source_dir);
    } else if (strncmp(line, "..END", 5) == 0) {
      break;
    } else {
      rc = add_member(list, line, io);
    }
  }
  io->release(reader);
  return rc;
}

int compare_records(const void* a, const void* b) {
  const MemberRecord* ra = static_cast<const MemberRecord*>(a);
  const MemberRecord* rb = static_cast<const MemberRecord*>(b);
  int c = pak_entry_compare(&ra->entry, &rb->entry);
  if (c != 0) return c;
  // Equal entries are refused below; the line order only makes that message the same on
  // every platform, whatever the sort does with equal elements.
  return ra->line_order < rb->line_order ? -1 : ra->line_order > rb->line_order;
}

// Sorts the members into directory order; -1 (after the message) when two are equal.
int sort_members(TagList* list, const PackIo* io) {
  if (list->count > 1) qsort(list->members, list->count, sizeof(MemberRecord), compare_records);
  for (uint32_t i = 1; i < list->count; ++i) {
    if (pak_entry_compare(&list->members[i - 1].entry, &list->members[i].entry) == 0) {
      pack_say(io, "ファイ名[%s]と[%s]で区別が付きません。ファイル名を変えてみてください。\n",
               list->members[i - 1].full_name, list->members[i].full_name);
      return -1;
    }
  }
  return 0;
}

}  // namespace

int gleaner_run(int argc, char** argv, const PackIo* io) {
  for (const char* line : kUsage) pack_say(io, "%s\n", line);
  if (argc < 2) return 1;
  const char* tag_path = argv[1];
  size_t tag_folder = io->tag_folder_bytes();  // the stand-in for a folder kept natively
  if (tag_folder > strlen(tag_path)) tag_folder = 0;
  PackFile tag = io->open_read(tag_path, tag_folder);
  if (tag == PACK_NO_FILE) return 1;

  TagList list;
  memset(&list, 0, sizeof list);
  strcpy(list.output_dir, "..");
  int rc = read_tag_file(&list, tag_path, tag, io);
  io->close(tag);
  if (rc == LIST_OK && sort_members(&list, io) != 0) rc = LIST_FAILED;
  if (rc == LIST_OK) {
    char archive_name[PATH_TEXT_SIZE], archive_path[PATH_TEXT_SIZE];
    int fits = make_archive_name(archive_name, sizeof archive_name, tag_path, io->separator) == 0;
    fits &= join_path(archive_path, sizeof archive_path, list.output_dir, archive_name,
                      io->separator) == 0;
    // With an empty output directory the archive goes beside the tag file; it is then in
    // the tag file's folder too when its path starts with that folder's stand-in (a double
    // quote skipped at the start of the tag file's path makes it start otherwise).
    size_t archive_folder = list.output_dir[0] == 0 && tag_folder != 0 &&
                                    strncmp(archive_path, tag_path, tag_folder) == 0
                                ? tag_folder
                                : 0;
    rc = write_archive(archive_path, archive_folder, fits, list.members, list.count, io);
  }
  io->release(list.members);
  return rc;
}
