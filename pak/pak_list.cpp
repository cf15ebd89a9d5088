// Listing the open archive. Names are cp932 in the archive and UTF-8 on the way out; in JSON
// a name that is not valid cp932 keeps U+FFFD where its bytes were.
#include "pak_list.h"
#include <cstring>
#include "console_text.h"
#include "frame.h"
#include "pak_archive.h"
#include "pak_output.h"

// Appends the cp932 `text` to `out` as a JSON string (quotes included), UTF-8 inside.
static void write_json_string(FILE* out, const char* text) {
  size_t size = strlen(text) * 3 + 1;
  char* utf8 = static_cast<char*>(mem_alloc(size));
  console_cp932_to_utf8(text, utf8, size);
  char* escaped = static_cast<char*>(mem_alloc(strlen(utf8) * 6 + 3));
  char* put = escaped;
  *put++ = '"';
  for (const unsigned char* p = reinterpret_cast<unsigned char*>(utf8); *p; ++p) {
    if (*p == '"' || *p == '\\') {
      *put++ = '\\';
      *put++ = char(*p);
    } else if (*p < 0x20) {
      put += snprintf(put, 7, "\\u%04x", *p);
    } else {
      *put++ = char(*p);
    }
  }
  *put++ = '"';
  *put = 0;
  console_write_utf8(out, escaped);
  mem_free(escaped);
  mem_free(utf8);
}

static void list_json(FILE* out) {
  PakFormat format = pak_format();
  console_write_utf8(out, "{\"archive\": ");
  write_json_string(out, pak_shown(pak_archive_path()));
  console_print(out, ", \"format\": \"%s\", \"size\": %lld, \"declared_entries\": %u, \"members\": [",
                pak_format_name(format), (long long)pak_archive_size(), pak_declared_count());
  for (uint32_t i = 0; i < pak_member_count(); ++i) {
    const PakMember* m = pak_member(i);
    console_print(out, "%s\n  {\"index\": %u, \"name\": ", i ? "," : "", i);
    if (m->named) write_json_string(out, m->name);
    else console_write_utf8(out, "null");
    if (format == PAK_FORMAT_KEYED) console_print(out, ", \"key\": \"%08X\"", m->key);
    if (format == PAK_FORMAT_ADPACK32)
      console_print(out, ", \"crc\": \"%04X\", \"name_cut\": %s", m->crc, m->cut ? "true" : "false");
    console_print(out, ", \"offset\": %u, \"size\": %lld}", m->offset, (long long)m->size);
  }
  console_write_utf8(out, pak_member_count() ? "\n]" : "]");
  if (pak_end_offset() >= 0) console_print(out, ", \"end_offset\": %lld", (long long)pak_end_offset());
  console_write_utf8(out, "}\n");
}

static void list_table(FILE* out) {
  PakFormat format = pak_format();
  console_print(out, "%s: %s, %u members, %lld bytes\n", pak_shown(pak_archive_path()), pak_format_name(format),
                pak_member_count(), (long long)pak_archive_size());
  if (format == PAK_FORMAT_ADPACK32) console_print(out, "%7s %10s %10s  %-4s  %s\n", "#", "offset", "size", "crc", "name");
  else console_print(out, "%7s %10s %10s  %s\n", "#", "offset", "size", format == PAK_FORMAT_KEYED ? "key" : "name");
  for (uint32_t i = 0; i < pak_member_count(); ++i) {
    const PakMember* m = pak_member(i);
    if (format == PAK_FORMAT_ADPACK32)
      console_print(out, "%7u %10u %10lld  %04X  %s%s\n", i, m->offset, (long long)m->size, m->crc, m->shown,
                    m->cut ? "...  (name cut to 25 bytes)" : "");
    else if (format == PAK_FORMAT_KEYED)
      console_print(out, "%7u %10u %10lld  %08X\n", i, m->offset, (long long)m->size, m->key);
    else
      console_print(out, "%7u %10u %10lld  %s\n", i, m->offset, (long long)m->size, m->shown);
  }
  if (pak_end_offset() >= 0) console_print(out, "%7s %10lld\n", "end", (long long)pak_end_offset());
  if (pak_entry_count() < (pak_declared_count() & 0xFFFFu))
    console_print(out, "(%u entries declared, %u in the file: see pak test)\n", pak_declared_count(),
                  pak_entry_count());
}

void pak_list_archive(FILE* out, bool json) {
  if (json) list_json(out);
  else list_table(out);
}
