// Opens a file named by Shift-JIS bytes, relative to the current directory, with "\" as the
// separator on every platform. Streams are always binary: text-mode conversions are left to
// the line reader (text_reader.h), so the same bytes give the same lines everywhere. A
// directory is never opened as a file.
#pragma once
#include <cstdint>
#include <cstdio>

// `mode` is a stdio mode ("rb", "rt", ...); a "t" in it is read as "b". Null on failure.
FILE* open_named_file(const char* path, const char* mode);

// The size in bytes of the file behind `stream` (64-bit on every platform); -1 on failure.
int64_t named_file_size(FILE* stream);
