// The file, memory and console operations the pack tool uses, as a table of function
// pointers: each platform supplies one (POSIX or Win32), and tests supply their own to fail
// any chosen call. Paths are the tool's own texts: Shift-JIS bytes with "\" or "/" between
// the parts; each platform turns them into its native form.
#pragma once
#include <cstddef>
#include <cstdint>

typedef intptr_t PackFile;     // an open file; PACK_NO_FILE when an open fails
const PackFile PACK_NO_FILE = -1;

struct PackIo {
  PackFile (*open_read)(const char* path);  // an existing regular file, for reading
  PackFile (*create)(const char* path);     // a new or emptied file, for writing
  int64_t (*file_size)(PackFile file);      // bytes, or -1 on failure
  long (*read)(PackFile file, void* buffer, unsigned long size);  // bytes read; 0 at the end; -1 on failure
  int (*write)(PackFile file, const void* data, unsigned long size);  // 0 when all was written, else -1
  int (*close)(PackFile file);              // 0, or -1 when data could not be flushed
  int (*remove)(const char* path);          // 0 or -1
  void* (*grow)(void* block, size_t size);  // realloc; null when memory runs out
  void (*release)(void* block);             // free
  void (*print)(const char* text, size_t length);  // console output (Shift-JIS bytes)
  char separator;                           // joins a directory and a name
};

// The table of the platform the tool was built for.
const PackIo* platform_pack_io(void);
