// Registering the update source through the updater's own code and naming where a resource
// resolves.
#include "medium_source.h"
#include <cstdio>
#include <cstring>
#include "resource_lookup.h"
#include "resource_sources.h"

static struct {
  MediumSource source;  // what register_medium_source found
} g_medium;

void register_medium_source(void) {
  reset_resource_sources();
  register_update_source();
  const ResourceSlot* slot = resource_slot(0);
  g_medium.source = slot->directory_path[0] ? SOURCE_FOLDER
                    : slot->archive_path[0] ? SOURCE_ARCHIVE
                                            : SOURCE_NONE;
}

MediumSource medium_source(void) { return g_medium.source; }

const char* medium_archive_format(void) {
  const ResourceSlot* slot = resource_slot(0);
  if (slot->pak) return "ADPACK32";
  if (slot->ac) return "AC";
  if (slot->keyed) return "keyed";
  if (slot->short_names) return "short-name";
  return "no directory";
}

bool resource_label(const char* name, char* label, size_t size) {
  snprintf(label, size, "%s", name);
  if (!resource_exists(name)) return false;
  const char* path = resolve_resource(strip_at_prefix(name));
  for (int i = 0; i < RESOURCE_SLOT_COUNT; ++i) {
    const ResourceSlot* slot = resource_slot(i);
    if (path == slot->archive_path) {  // a member hit hands out the slot's own path
      snprintf(label, size, "%s[%s]", slot->archive_path, name);
      return true;
    }
  }
  snprintf(label, size, "%s", path);
  return true;
}
