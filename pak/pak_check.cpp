// The rules of the four directory formats, checked on the directory the updater holds and the
// file's own size; the last rule asks the updater's lookup itself for every named member.
#include "pak_check.h"
#include <cstdarg>
#include <cstring>
#include "console_text.h"
#include "pak_archive.h"
#include "pak_output.h"
#include "pak_format.h"
#include "sjis.h"

static struct {
  FILE* out;
  int faults;
} g_check;

// One finding: the fault name, the entry it concerns (or -1), then the detail.
static void fault(const char* name, long entry, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

static void fault(const char* name, long entry, const char* format, ...) {
  char detail[512];
  va_list args;
  va_start(args, format);
  vsnprintf(detail, sizeof detail, format, args);
  va_end(args);
  ++g_check.faults;
  const PakMember* m = entry >= 0 ? pak_member(uint32_t(entry)) : nullptr;
  if (m && m->named) console_print(g_check.out, "%-12s entry %ld \"%s\": %s\n", name, entry, m->shown, detail);
  else if (entry >= 0) console_print(g_check.out, "%-12s entry %ld: %s\n", name, entry, detail);
  else console_print(g_check.out, "%-12s %s\n", name, detail);
}

static void check_header(void) {
  const unsigned char* head = pak_head();
  int length = pak_head_length();
  int64_t need = pak_directory_start();  // the header's length
  if (length < need) {
    fault("count", -1, "the file ends inside the %lld-byte header", (long long)need);
    return;
  }
  if (pak_format() == PAK_FORMAT_ADPACK32) {
    if (memcmp(head, "ADPACK32", 8) != 0) fault("magic", -1, "the first 8 bytes are not \"ADPACK32\"");
    static const unsigned char version[4] = {0x00, 0x00, 0x01, 0x00};
    if (memcmp(head + 8, version, 4) != 0)
      fault("fixed-bytes", -1, "bytes 8-11 are %02X %02X %02X %02X, not 00 00 01 00", head[8],
            head[9], head[10], head[11]);
  }
  uint32_t declared = pak_declared_count();
  if (pak_has_end_entry() && declared == 0) fault("count", -1, "no entries: not even the end entry");
  if (declared > PAK_MAX_ENTRIES)
    fault("count", -1, "%u entries declared; the updater reads only the low 16 bits (%u)",
          declared, declared & 0xFFFFu);
  uint32_t read = declared & 0xFFFFu;
  if (pak_entry_count() < read)
    fault("count", -1, "%u entries declared, the file holds only %u (it ends at byte %lld)", read,
          pak_entry_count(), (long long)pak_archive_size());
  if (pak_archive_size() >= int64_t(PAK_MAX_ARCHIVE_SIZE) + 1)
    fault("archive-size", -1, "%lld bytes: the updater reaches only the first 2 GiB",
          (long long)pak_archive_size());
}

// Bytes of a name field after its terminator must be zero, and its last byte always is.
static void check_name_field(long i, const char* field, size_t size) {
  if (field[size - 1] != 0) {
    fault("fixed-bytes", i, "the name field's last byte (%u) is not zero", unsigned(size - 1));
    return;
  }
  size_t n = strnlen(field, size);
  for (size_t k = n; k < size; ++k) {
    if (field[k] != 0) {
      fault("fixed-bytes", i, "name field byte %u after the name is not zero", unsigned(k));
      return;
    }
  }
}

static void check_names(uint32_t i) {
  const PakMember* m = pak_member(i);
  const ResourceSlot* slot = pak_slot();
  if (slot->pak) {
    check_name_field(long(i), slot->pak[i].name, PAK_NAME_FIELD);
    // A shorter name is whole in the field, so its CRC can be checked; a full field may have
    // been cut from a longer name that the CRC covers.
    if (!m->cut && m->crc != pak_name_crc(m->name))
      fault("crc", long(i), "stored CRC %04X, the name's is %04X", m->crc, pak_name_crc(m->name));
  } else if (slot->ac) {
    check_name_field(long(i), slot->ac[i].name, AC_NAME_FIELD);
  } else if (slot->short_names) {
    if (slot->short_names[i].name[11] != 0) fault("fixed-bytes", long(i), "the name field's byte 11 is not zero");
  }
  if (!m->named) return;
  if (!m->name[0]) {
    fault("empty-name", long(i), "the name is empty");
    return;
  }
  PathParts parts;
  split_path(m->name, &parts);
  if (parts.drive[0] || parts.dir[0])
    fault("folder-name", long(i), "the updater looks up only the base name, so \"%s%s\" never finds it",
          parts.base, parts.ext);
}

// Entry order the updater's search relies on: <0 when a sorts before b.
static int order_compare(const ResourceSlot* slot, uint32_t a, uint32_t b) {
  if (slot->pak) return pak_entry_compare(&slot->pak[a], &slot->pak[b]);
  if (slot->ac) return sjis_icompare(pak_member(a)->name, pak_member(b)->name);
  if (slot->keyed) return slot->keyed[a].key < slot->keyed[b].key ? -1 : slot->keyed[a].key > slot->keyed[b].key;
  return memcmp(slot->short_names[a].name, slot->short_names[b].name, sizeof slot->short_names[a].name);
}

static void check_order_and_names(void) {
  const ResourceSlot* slot = pak_slot();
  uint32_t count = pak_member_count();
  if (slot->short_names) {  // no order required: any two equal fields
    for (uint32_t i = 0; i < count; ++i)
      for (uint32_t j = i + 1; j < count; ++j)
        if (order_compare(slot, i, j) == 0) fault("same-name", long(j), "the updater cannot tell it from entry %u", i);
    return;
  }
  for (uint32_t i = 0; i + 1 < count; ++i) {
    int c = order_compare(slot, i, i + 1);
    if (c > 0) fault("order", long(i + 1), "sorts before entry %u; the updater's search misses members", i);
    else if (c == 0) fault("same-name", long(i + 1), "the updater cannot tell it from entry %u", i);
  }
}

static void check_offsets(void) {
  uint32_t count = pak_member_count();
  int64_t size = pak_archive_size();
  int64_t data_start = pak_directory_end();
  for (uint32_t i = 0; i < count; ++i) {
    const PakMember* m = pak_member(i);
    if (int64_t(m->offset) < data_start || int64_t(m->offset) > size)
      fault("offset-range", long(i), "offset %u is outside the data (bytes %lld to %lld)", m->offset,
            (long long)data_start, (long long)size);
    if (pak_has_end_entry() && i > 0 && m->offset < pak_member(i - 1)->offset)
      fault("offset-order", long(i), "offset %u is lower than entry %u's %u", m->offset, i - 1,
            pak_member(i - 1)->offset);
  }
  if (!pak_has_end_entry() || pak_entry_count() == 0 || pak_entry_count() < (pak_declared_count() & 0xFFFFu))
    return;  // without the end entry in the file, nothing more can be measured
  uint32_t end = uint32_t(pak_end_offset());
  if (count > 0 && end < pak_member(count - 1)->offset)
    fault("offset-order", long(count), "the end entry's offset %u is lower than the last member's", end);
  if (int64_t(end) != size)
    fault("end-entry", -1, "the end entry's offset is %u, the file has %lld bytes", end, (long long)size);
  if (pak_format() == PAK_FORMAT_ADPACK32) {
    const PakEntry* e = &pak_slot()->pak[pak_entry_count() - 1];
    bool blank = e->crc == 0;
    for (char c : e->name) blank = blank && c == 0;
    if (!blank) fault("end-entry", -1, "the end entry's name field or CRC is not zero");
    int64_t first = count > 0 ? int64_t(pak_member(0)->offset) : int64_t(end);
    if (first != data_start)
      fault("first-offset", count > 0 ? 0 : -1, "data begins at %lld, the directory ends at %lld",
            (long long)first, (long long)data_start);
  }
}

// Every named member must be what the updater opens for its own name.
static void check_reachable(void) {
  uint32_t count = pak_member_count();
  for (uint32_t i = 0; i < count; ++i) {
    const PakMember* m = pak_member(i);
    if (!m->named || !m->name[0] || m->cut) continue;  // a cut name is not the member's whole name
    PathParts parts;
    split_path(m->name, &parts);
    if (parts.drive[0] || parts.dir[0]) continue;  // a folder-name fault already
    char looked_up[PATH_TEXT_SIZE];
    long hit = pak_lookup(m->name, looked_up);
    if (hit == long(i)) continue;
    if (hit < 0) fault("unreachable", long(i), "the updater finds nothing for \"%s\"", looked_up);
    else fault("unreachable", long(i), "the updater opens entry %ld for \"%s\"", hit, looked_up);
  }
}

int pak_check_archive(FILE* out) {
  g_check.out = out;
  g_check.faults = 0;
  check_header();
  for (uint32_t i = 0; i < pak_member_count(); ++i) check_names(i);
  check_order_and_names();
  check_offsets();
  check_reachable();
  if (g_check.faults == 0)
    console_print(out, "%s: %s, %u members: sound\n", pak_shown(pak_archive_path()), pak_format_name(pak_format()),
                  pak_member_count());
  else
    console_print(out, "%s: %s, %u members: %d fault%s\n", pak_shown(pak_archive_path()),
                  pak_format_name(pak_format()), pak_member_count(), g_check.faults,
                  g_check.faults == 1 ? "" : "s");
  return g_check.faults;
}
