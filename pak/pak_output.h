// What `pak extract` needs of the platform: the output folder, member files inside it, and
// names from the command line as the archive's cp932 bytes. Linux writes UTF-8 file names,
// Windows UTF-16 ones.
#pragma once
#include <cstddef>
#include <cstdio>

// Creates the folder `dir` when it does not exist (its parent must). 0 when it exists
// afterwards, -1 otherwise.
int pak_make_folder(const char* dir);

// Creates or replaces the file `name` (cp932, checked by pak_safe_name) in `dir`, without
// following a symbolic link that has the name. Null when that fails.
FILE* pak_create_member_file(const char* dir, const char* name);

// A NAME from the command line as cp932 bytes in `out`; -1 when it does not fit or cannot be
// given in cp932.
int pak_name_from_argument(const char* arg, char* out, size_t size);

// A path or name from the command line as cp932 text to print (pak_name_from_argument; bytes
// it cannot convert stay as they are). Two results stay valid at a time.
const char* pak_shown(const char* arg);
