// `pak extract`: members written into DIR under safe names (pak_safe_name.h), never outside
// it and never two under one name; with NAMEs, only the members the updater opens for them.
#include <cstring>
#include "console_text.h"
#include "frame.h"
#include "named_file.h"
#include "pak_archive.h"
#include "pak_commands.h"
#include "pak_output.h"
#include "pak_safe_name.h"
#include "sjis.h"

enum { COPY_CHUNK = 65536 };

static struct {
  FILE* out;
  FILE* archive;          // the archive's data, open for reading
  const char* dir;
  char (*written)[PATH_TEXT_SIZE];  // names written so far (member_count of room)
  uint32_t written_count;
  int refused;            // members not written
  unsigned char* chunk;   // COPY_CHUNK bytes
} g_extract;

static bool already_written(const char* name) {
  for (uint32_t i = 0; i < g_extract.written_count; ++i)
    if (sjis_icompare(g_extract.written[i], name) == 0) return true;  // Windows folds case
  return false;
}

static void refuse(const char* shown, const char* why) {
  console_print(g_extract.out, "refused    %s: %s\n", shown, why);
  ++g_extract.refused;
}

static bool copy_data(FILE* to, uint32_t offset, int64_t size) {
  if (fseek(g_extract.archive, long(offset), SEEK_SET) != 0) return false;
  while (size > 0) {
    size_t n = size > int64_t(COPY_CHUNK) ? size_t(COPY_CHUNK) : size_t(size);
    if (fread(g_extract.chunk, 1, n, g_extract.archive) != n) return false;
    if (fwrite(g_extract.chunk, 1, n, to) != n) return false;
    size -= int64_t(n);
  }
  return true;
}

// Writes member `index` under its own name, or (a keyed member, or one chosen by a NAME that
// the archive stores no name for) under `fallback`.
static void extract_member(uint32_t index, const char* fallback) {
  const PakMember* m = pak_member(index);
  const char* name = m->named ? m->name : fallback;
  const char* shown = m->named ? m->shown : fallback;  // control bytes escaped
  char safe[PATH_TEXT_SIZE];
  const char* why;
  SafeName kind = pak_safe_name(name, safe, &why);
  if (kind == SAFE_NAME_REFUSED) return refuse(shown, why);
  if (m->size < 0 || int64_t(m->offset) + m->size > pak_archive_size() ||
      int64_t(m->offset) + m->size > int64_t(PAK_MAX_ARCHIVE_SIZE))
    return refuse(shown, "its data lies outside the file");
  if (already_written(safe)) return refuse(shown, "another member was written under this name");
  FILE* file = pak_create_member_file(g_extract.dir, safe);
  if (!file) return refuse(shown, "the file cannot be created");
  bool copied = copy_data(file, m->offset, m->size);
  if (fclose(file) != 0) copied = false;
  if (!copied) return refuse(shown, "reading the archive or writing the file failed");
  copy_text(g_extract.written[g_extract.written_count++], PATH_TEXT_SIZE, safe, strlen(safe));
  if (kind == SAFE_NAME_FLATTENED)
    console_print(g_extract.out, "flattened  %s -> %s (%s), %lld bytes\n", shown, safe, why, (long long)m->size);
  else
    console_print(g_extract.out, "written    %s, %lld bytes\n", safe, (long long)m->size);
}

static int extract_all(void) {
  for (uint32_t i = 0; i < pak_member_count(); ++i) {
    char key_name[32];
    snprintf(key_name, sizeof key_name, "KEY-%08X", pak_member(i)->key);
    extract_member(i, key_name);
  }
  return g_extract.refused ? PAK_EXIT_FAULTS : PAK_EXIT_OK;
}

static int extract_named(char** names, int name_count) {
  int missing = 0;
  for (int i = 0; i < name_count; ++i) {
    char request[PATH_TEXT_SIZE], looked_up[PATH_TEXT_SIZE];
    if (pak_name_from_argument(names[i], request, sizeof request) < 0) {
      console_print(g_extract.out, "not found  %s: no cp932 form\n", names[i]);
      ++missing;
      continue;
    }
    long hit = pak_lookup(request, looked_up);
    if (hit < 0) {
      console_print(g_extract.out, "not found  %s (looked up as \"%s\")\n", request, looked_up);
      ++missing;
      continue;
    }
    extract_member(uint32_t(hit), looked_up);
  }
  return missing || g_extract.refused ? PAK_EXIT_FAULTS : PAK_EXIT_OK;
}

int pak_extract(const char* archive, const char* dir, char** names, int name_count, FILE* out,
                FILE* err) {
  const char* reason;
  if (pak_open_archive(archive, &reason) != 0) {
    console_print(err, "pak: %s %s\n", pak_shown(archive), reason);
    return PAK_EXIT_USAGE;
  }
  if (pak_make_folder(dir) != 0) {
    console_print(err, "pak: the folder %s cannot be created\n", pak_shown(dir));
    pak_close_archive();
    return PAK_EXIT_USAGE;
  }
  memset(&g_extract, 0, sizeof g_extract);
  g_extract.out = out;
  g_extract.dir = dir;
  g_extract.archive = open_named_file(archive, "rb");
  if (!g_extract.archive) {
    console_print(err, "pak: %s cannot be opened\n", pak_shown(archive));
    pak_close_archive();
    return PAK_EXIT_USAGE;
  }
  uint32_t room = (name_count ? uint32_t(name_count) : pak_member_count()) + 1;
  g_extract.written = static_cast<char(*)[PATH_TEXT_SIZE]>(mem_alloc(room * PATH_TEXT_SIZE));
  g_extract.chunk = static_cast<unsigned char*>(mem_alloc(COPY_CHUNK));
  int result = name_count ? extract_named(names, name_count) : extract_all();
  console_print(out, "%u written, %d refused\n", g_extract.written_count, g_extract.refused);
  fclose(g_extract.archive);
  mem_free(g_extract.written);
  mem_free(g_extract.chunk);
  memset(&g_extract, 0, sizeof g_extract);
  pak_close_archive();
  return result;
}
