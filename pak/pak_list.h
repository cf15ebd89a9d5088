// `pak list`: the format, then each member's name, size, offset and (ADPACK32) name CRC, as a
// table or as JSON for scripts.
#pragma once
#include <cstdio>

// Lists the open archive (pak_archive.h) to `out`.
void pak_list_archive(FILE* out, bool json);
