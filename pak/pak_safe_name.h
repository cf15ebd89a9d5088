// The file name a member is extracted under: never a path that leaves the output folder,
// never a name Windows would read as something else.
#pragma once
#include "path_split.h"

enum SafeName {
  SAFE_NAME_KEPT,       // the member's own name
  SAFE_NAME_FLATTENED,  // its folder part or drive dropped: the name the updater finds it by
  SAFE_NAME_REFUSED     // no safe name: the member is not written
};

// The name to write member name `name` (cp932) under, in `out`; *why says what was changed
// or why it is refused (null when kept).
SafeName pak_safe_name(const char* name, char out[PATH_TEXT_SIZE], const char** why);
