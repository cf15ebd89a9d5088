// Paths the pack tool forms: a member's source path from the source directory, and the
// archive's path from the tag file's path and the output directory.
#pragma once
#include <cstddef>

// `dir` + separator (unless `dir` already ends in "\" or "/") + the base name and extension
// of `name`; `name` unchanged when `dir` is empty. Writes at most `size` bytes with the
// terminator; returns 0, or -1 when the path does not fit (`out` then holds it cut).
int join_path(char* out, size_t size, const char* dir, const char* name, char separator);

// The archive's name from the tag file's path: an "@" prefix is kept, one leading double
// quote is skipped, the extension is replaced by ".PAK" and one trailing "." of the base
// name is dropped. Returns 0, or -1 when the result does not fit.
int make_archive_name(char* out, size_t size, const char* tag_path, char separator);
