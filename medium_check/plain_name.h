// Plain files of the medium under another letter case. Windows finds "ReadMe.txt" as
// "README.TXT"; the Linux build opens names byte for byte, so it looks for the other case
// itself and says so, rather than call a file missing that the player's Windows will find.
#pragma once
#include <cstddef>

// When `path` (cp932, "\" separators) does not open as it stands but its folder holds a
// file whose name differs from the last part only in letter case: true, with that name in
// `found`. Always false on Windows, where the name as it stands opens already.
bool plain_name_in_other_case(const char* path, char* found, size_t size);
