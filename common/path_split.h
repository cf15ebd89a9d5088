// Splitting a path into drive, directory, base name and extension, as the Windows run-time
// does it, with Shift-JIS double-byte characters stepped over whole. Both separators,
// backslash and "/", are recognised on every platform.
#pragma once
#include <cstddef>

enum { PATH_TEXT_SIZE = 260 };  // path buffers: at most 259 bytes of text

struct PathParts {
  char drive[PATH_TEXT_SIZE];  // "C:" when the second byte is ":", else empty
  char dir[PATH_TEXT_SIZE];    // up to and including the last separator
  char base[PATH_TEXT_SIZE];   // between the directory and the extension
  char ext[PATH_TEXT_SIZE];    // from the last "." of the rest, dot included
};

// Splits `path`; each part is cut to 259 bytes.
void split_path(const char* path, PathParts* parts);

// 1 when the last character of `text` (stepping over double-byte characters, so a trail byte
// 0x5C is not one) is a backslash or "/", else 0.
int ends_with_separator(const char* text);

// 1 when the single-byte character `c` is one Windows refuses in a file name: a control byte
// or one of < > : " | ? * (the separators are the caller's business).
int refused_in_windows_name(unsigned char c);

// Copies at most size - 1 bytes of `src` to `dst` and terminates it; returns the bytes copied.
size_t copy_text(char* dst, size_t size, const char* src, size_t src_len);

// Converts a Windows-style path to one the POSIX file system takes: every "\" becomes "/",
// except a trail byte 0x5C of a double-byte character. -1 when it does not fit `size`.
int posix_path(const char* path, char* out, size_t size);
