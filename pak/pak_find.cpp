// `pak find`: the member the updater opens for a name, by the updater's own lookup.
#include <cstring>
#include "console_text.h"
#include "pak_archive.h"
#include "pak_commands.h"
#include "pak_output.h"

int pak_find(const char* archive, const char* name, FILE* out, FILE* err) {
  const char* reason;
  if (pak_open_archive(archive, &reason) != 0) {
    console_print(err, "pak: %s %s\n", pak_shown(archive), reason);
    return PAK_EXIT_USAGE;
  }
  char request[PATH_TEXT_SIZE], looked_up[PATH_TEXT_SIZE];
  if (pak_name_from_argument(name, request, sizeof request) < 0) {
    console_print(err, "pak: the name \"%s\" has no cp932 form\n", name);
    pak_close_archive();
    return PAK_EXIT_USAGE;
  }
  long hit = pak_lookup(request, looked_up);
  int result = PAK_EXIT_OK;
  if (hit < 0) {
    console_print(out, "%s: not found (looked up as \"%s\")\n", request, looked_up);
    result = PAK_EXIT_FAULTS;
  } else {
    const PakMember* m = pak_member(uint32_t(hit));
    if (m->named)
      console_print(out, "%s: entry %ld \"%s\", offset %u, %lld bytes (looked up as \"%s\")\n", request,
                    hit, m->shown, m->offset, (long long)m->size, looked_up);
    else
      console_print(out, "%s: entry %ld, key %08X, offset %u, %lld bytes (looked up as \"%s\")\n",
                    request, hit, m->key, m->offset, (long long)m->size, looked_up);
  }
  pak_close_archive();
  return result;
}
