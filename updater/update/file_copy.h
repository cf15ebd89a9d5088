// Copying one file in 32 KiB chunks with the progress dialog kept alive between chunks. The
// copy goes to a temporary file beside the target, which replaces the target only when the
// data, the file times and the attributes are all in place and the data has reached the disk.
// Win32 only.
#pragma once
#include "progress_dialog.h"

enum { COPY_CHUNK_BYTES = 32768 };

// Copies `source` to `target` (cp932 paths). With `create_new` 0 an existing target is
// replaced (a read-only one too); with `create_new` nonzero an existing target makes the copy
// fail. Opens the progress dialog for this copy when none is open. 1 on full success; 0 on any
// failure or Cancel, and then an existing target is left exactly as it was and no temporary
// file remains. Once the new file has its name, the source's times are given to it once more;
// should that fail, the copy still counts as done. Shows no message.
int copy_file(const char* source, const char* target, int create_new);

// The same with the target as a UTF-16 path (fewer than PATH_TEXT_SIZE characters), for a
// target folder whose name Shift-JIS cannot hold; copy_file converts its target and calls it.
int copy_file_wide_target(const char* source, const wchar_t* target, int create_new);

// Fault injection for tests: every system call of copy_file first asks the hook (when one is
// set) what to do. The program never sets one.
enum CopyCall {
  COPY_CALL_OPEN_SOURCE,
  COPY_CALL_CREATE_TEMP,
  COPY_CALL_SIZE,
  COPY_CALL_READ,
  COPY_CALL_WRITE,
  COPY_CALL_GET_TIME,
  COPY_CALL_SET_TIME,        // the source's times given to the temporary file
  COPY_CALL_FLUSH,           // the temporary file's data and times written through to disk
  COPY_CALL_GET_ATTRIBUTES,
  COPY_CALL_SET_ATTRIBUTES,  // the source's attributes given to the temporary file
  COPY_CALL_REPLACE,
  COPY_CALL_TARGET_TIME      // the source's times given again to the file under its final name
};
enum CopyFault {
  COPY_RUN,    // make the call
  COPY_FAIL,   // the call fails without being made
  COPY_SHORT,  // READ: returns no bytes; WRITE: writes one byte less than asked
  COPY_SKIP    // FLUSH: not made, and the copy goes on as if it had succeeded (benchmark)
};
typedef CopyFault (*CopyFaultHook)(CopyCall call);
void set_copy_fault_hook(CopyFaultHook hook);  // null: no hook
