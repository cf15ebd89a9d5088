// The file, memory and console operations the pack tool uses, as a table of function
// pointers: each platform supplies one (POSIX or Win32), and tests supply their own to fail
// any chosen call. Paths are the tool's own texts: Shift-JIS bytes with "\" or "/" between
// the parts; each platform turns them into its native form.
//
// One part of a path may not be Shift-JIS: the folder of the tag file, which comes from the
// command line and may hold characters cp932 has not ("/home/jürgen/"). The platform keeps
// that folder in its own form (UTF-8 on Linux, UTF-16 on Windows), and the tool's text of
// the tag file's path starts with a stand-in for it ("/home/j?rgen/") that is only shown.
// A path that starts with the stand-in is passed with `folder_bytes`, its length; the
// platform then puts the folder it keeps in the stand-in's place. Every other path passes 0.
#pragma once
#include <cstddef>
#include <cstdint>

typedef intptr_t PackFile;     // an open file; PACK_NO_FILE when an open fails
const PackFile PACK_NO_FILE = -1;

struct PackIo {
  PackFile (*open_read)(const char* path, size_t folder_bytes);  // an existing regular file, for reading
  PackFile (*create)(const char* path, size_t folder_bytes);     // a new or emptied file, for writing
  int64_t (*file_size)(PackFile file);      // bytes, or -1 on failure
  long (*read)(PackFile file, void* buffer, unsigned long size);  // bytes read; 0 at the end; -1 on failure
  int (*write)(PackFile file, const void* data, unsigned long size);  // 0 when all was written, else -1
  int (*close)(PackFile file);              // 0, or -1 when data could not be flushed
  int (*remove)(const char* path, size_t folder_bytes);  // 0 or -1
  void* (*grow)(void* block, size_t size);  // realloc; null when memory runs out
  void (*release)(void* block);             // free
  void (*print)(const char* text, size_t length);  // console output (Shift-JIS bytes)
  size_t (*tag_folder_bytes)(void);         // length of the stand-in at the start of the tag
                                            // file's path; 0 when that path is all cp932
  char separator;                           // joins a directory and a name
};

// The table of the platform the tool was built for.
const PackIo* platform_pack_io(void);

// The character of the platform's command line: UTF-8 bytes on Linux, UTF-16 on Windows.
#ifdef _WIN32
typedef wchar_t PackArgChar;
#else
typedef char PackArgChar;
#endif

// Takes the tag file's path from the command line and writes the tool's text of it into
// `out` (room for `size` bytes; twice the argument's length in characters, and one more,
// always suffice). A path cp932 can hold becomes its cp932 bytes. Else, when only its folder
// (up to the last "\" or "/") is beyond cp932, the platform keeps that folder in its own form
// and `out` starts with the folder's stand-in ("?" for each such character); the
// table's tag_folder_bytes then gives the stand-in's length. Otherwise (Windows) `out` is
// empty, or (Linux) holds the argument's bytes as they stand, which the file operations open
// as they are. Each call replaces what an earlier one kept. Returns 0, or -1 when `out` is
// left empty because the path could not be taken.
int pack_take_tag_argument(const PackArgChar* argument, char* out, size_t size);
