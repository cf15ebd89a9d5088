// copy_file: the data goes in 32 KiB chunks through one buffer into a temporary file in the
// target's folder, with the message pump run before every chunk so that the progress dialog
// and its Cancel button stay alive. Only a complete copy, with the source's file times and
// attributes and flushed to disk, replaces the target; any failure removes the temporary file
// and leaves an existing target untouched. Names reach Windows through the wide-character
// functions.
#include "file_copy.h"
#include <cwchar>
#include "frame.h"
#include "path_split.h"
#include "wide_text.h"

enum {
  TEMP_NAME_CHARS = 11,                      // "~" + 6 hex digits + ".tmp"
  TEMP_PATH_CHARS = PATH_TEXT_SIZE + TEMP_NAME_CHARS,
  TEMP_ATTEMPTS = 100                        // names tried before giving up
};

static struct {
  CopyFaultHook hook;  // tests only: decides the fate of each system call
  unsigned serial;     // varies the temporary names within one run
  // The copy in progress, kept here so that copy_system_end can clean up when the program
  // ends in the middle of it (a quit message met by the pump between two chunks).
  HANDLE from, to;             // source and temporary file while open
  wchar_t temp[TEMP_PATH_CHARS];  // the temporary file while it exists, else empty
  int temp_attributes_set;     // 1 once it may have been made read-only
  FILETIME created, accessed, written;  // the source's times, once taken
} copier;

void set_copy_fault_hook(CopyFaultHook hook) { copier.hook = hook; }

static CopyFault ask(CopyCall call) { return copier.hook ? copier.hook(call) : COPY_RUN; }

static HANDLE open_source(const wchar_t* path) {
  if (ask(COPY_CALL_OPEN_SOURCE) != COPY_RUN) return INVALID_HANDLE_VALUE;
  // Read sharing only: nobody can change the file while it is copied.
  return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Characters of `path` up to and including its last separator (or the colon of "C:name").
static int folder_length(const wchar_t* path) {
  int length = 0;
  for (int i = 0; path[i]; i++)
    if (path[i] == L'\\' || path[i] == L'/' || (i == 1 && path[i] == L':')) length = i + 1;
  return length;
}

// Creates a new, empty temporary file in the folder of `target` and puts its path in `temp`
// (TEMP_PATH_CHARS). A name that exists already is never opened: another is tried instead.
// INVALID_HANDLE_VALUE when no file could be created; `temp` is then empty.
static HANDLE create_temp(const wchar_t* target, wchar_t* temp) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  int folder = folder_length(target);
  for (int attempt = 0; attempt < TEMP_ATTEMPTS; attempt++) {
    unsigned value = (unsigned)GetTickCount() ^ ((unsigned)GetCurrentProcessId() << 8) ^
                     (copier.serial++ * 2654435761u);
    for (int i = 0; i < folder; i++) temp[i] = target[i];
    wchar_t* name = temp + folder;
    *name++ = L'~';
    for (int shift = 20; shift >= 0; shift -= 4) *name++ = digits[(value >> shift) & 15];
    const wchar_t* ext = L".tmp";
    while ((*name++ = *ext++)) {}
    if (ask(COPY_CALL_CREATE_TEMP) != COPY_RUN) break;
    HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  temp[0] = 0;
  return INVALID_HANDLE_VALUE;
}

static int source_size(HANDLE file, unsigned long long* size) {
  LARGE_INTEGER value;
  if (ask(COPY_CALL_SIZE) != COPY_RUN || !GetFileSizeEx(file, &value)) return 0;
  *size = (unsigned long long)value.QuadPart;
  return 1;
}

// One chunk: 1 when `want` > 0 bytes were asked and some arrived (`*got`), 0 on a failed read
// or one that returned nothing before the measured end.
static int read_chunk(HANDLE file, char* buffer, DWORD want, DWORD* got) {
  *got = 0;
  CopyFault fault = ask(COPY_CALL_READ);
  if (fault == COPY_FAIL) return 0;
  if (fault == COPY_SHORT) return 0;  // as if the read returned no bytes
  return ReadFile(file, buffer, want, got, nullptr) && *got > 0;
}

// 1 when all `count` bytes were written.
static int write_chunk(HANDLE file, const char* buffer, DWORD count) {
  CopyFault fault = ask(COPY_CALL_WRITE);
  if (fault == COPY_FAIL) return 0;
  DWORD asked = fault == COPY_SHORT ? count - 1 : count;
  DWORD written = 0;
  return WriteFile(file, buffer, asked, &written, nullptr) && written == count;
}

static int take_over_times(HANDLE from, HANDLE to) {
  if (ask(COPY_CALL_GET_TIME) != COPY_RUN ||
      !GetFileTime(from, &copier.created, &copier.accessed, &copier.written))
    return 0;
  return ask(COPY_CALL_SET_TIME) == COPY_RUN &&
         SetFileTime(to, &copier.created, &copier.accessed, &copier.written);
}

// The data must be on the disk before the name is switched: otherwise a power cut soon after
// the update can leave an empty or garbled file under the target's name.
static int flush_temp(HANDLE to) {
  CopyFault fault = ask(COPY_CALL_FLUSH);
  if (fault == COPY_SKIP) return 1;
  return fault == COPY_RUN && FlushFileBuffers(to);
}

// Gives the source's times once more to the file under its final name. On NTFS a file that
// takes a name removed a few seconds before inherits that file's creation time ("tunnelling"),
// so the times set on the temporary file do not always survive the move.
static void give_final_times(const wchar_t* target) {
  if (ask(COPY_CALL_TARGET_TIME) != COPY_RUN) return;
  // Attribute access only, which a read-only, hidden or system file also grants.
  HANDLE file = CreateFileW(target, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFileTime(file, &copier.created, &copier.accessed, &copier.written);
  CloseHandle(file);
}

// Puts the finished temporary file in the target's place. With `create_new` an existing
// target makes the move fail. Otherwise an existing target is replaced; a read-only one loses
// that attribute just before and gets it back when the move fails after all.
static int replace_target(const wchar_t* temp, const wchar_t* target, int create_new) {
  if (create_new)
    return ask(COPY_CALL_REPLACE) == COPY_RUN && MoveFileExW(temp, target, 0);
  DWORD old = GetFileAttributesW(target);
  int unlocked = old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY) &&
                 !(old & FILE_ATTRIBUTE_DIRECTORY);
  if (unlocked) {
    DWORD writable = old & ~(DWORD)FILE_ATTRIBUTE_READONLY;
    if (!SetFileAttributesW(target, writable ? writable : FILE_ATTRIBUTE_NORMAL)) return 0;
  }
  if (ask(COPY_CALL_REPLACE) == COPY_RUN && MoveFileExW(temp, target, MOVEFILE_REPLACE_EXISTING))
    return 1;
  if (unlocked) SetFileAttributesW(target, old);
  return 0;
}

// Closes what the copy still holds and removes its temporary file, if any.
static void release_copy(void) {
  if (copier.from != INVALID_HANDLE_VALUE) CloseHandle(copier.from);
  if (copier.to != INVALID_HANDLE_VALUE) CloseHandle(copier.to);
  copier.from = copier.to = INVALID_HANDLE_VALUE;
  if (copier.temp[0]) {
    if (copier.temp_attributes_set) SetFileAttributesW(copier.temp, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(copier.temp);
    copier.temp[0] = 0;
  }
}

// Shutdown callback while a copy runs: the program is ending in the middle of it.
static void copy_system_end(void) {
  release_copy();
  remove_system_end(copy_system_end);
}

int copy_file_wide_target(const char* source, const wchar_t* target_w, int create_new) {
  int had_dialog = progress_window() != nullptr;
  progress_clear_cancel();
  char* buffer = (char*)mem_alloc(COPY_CHUNK_BYTES);
  if (!had_dialog) open_progress();

  int result = 0;
  wchar_t source_w[PATH_TEXT_SIZE];
  unsigned long long size = 0, copied = 0;
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  HANDLE to;
  copier.from = copier.to = INVALID_HANDLE_VALUE;
  copier.temp[0] = 0;
  copier.temp_attributes_set = 0;
  add_system_end(copy_system_end);

  if (cp932_to_wide(source, source_w, PATH_TEXT_SIZE, WIDE_NAME) < 0 ||
      !target_w[0] || wcslen(target_w) >= PATH_TEXT_SIZE)
    goto done;
  // Checked here so that nothing is copied in vain; the final move checks again.
  if (create_new && GetFileAttributesW(target_w) != INVALID_FILE_ATTRIBUTES) goto done;
  copier.from = open_source(source_w);
  if (copier.from == INVALID_HANDLE_VALUE) goto done;
  copier.to = create_temp(target_w, copier.temp);
  if (copier.to == INVALID_HANDLE_VALUE) goto done;
  if (!source_size(copier.from, &size)) goto done;

  progress_show_file(source, size);
  while (copied < size) {
    pump_messages();
    if (progress_cancelled()) goto done;
    unsigned long long left = size - copied;
    DWORD want = left < COPY_CHUNK_BYTES ? (DWORD)left : (DWORD)COPY_CHUNK_BYTES;
    DWORD got = 0;
    if (!read_chunk(copier.from, buffer, want, &got)) goto done;
    if (!write_chunk(copier.to, buffer, got)) goto done;
    copied += got;
    progress_show_written(copied, got);
  }

  if (!take_over_times(copier.from, copier.to)) goto done;
  if (!flush_temp(copier.to)) goto done;
  if (ask(COPY_CALL_GET_ATTRIBUTES) != COPY_RUN) goto done;
  attributes = GetFileAttributesW(source_w);
  if (attributes == INVALID_FILE_ATTRIBUTES) goto done;
  CloseHandle(copier.from);
  copier.from = INVALID_HANDLE_VALUE;
  to = copier.to;
  copier.to = INVALID_HANDLE_VALUE;
  if (!CloseHandle(to)) goto done;  // closing may report a write the system had delayed
  // The attributes come last: a read-only temporary file can still be moved into place.
  copier.temp_attributes_set = 1;
  if (ask(COPY_CALL_SET_ATTRIBUTES) != COPY_RUN || !SetFileAttributesW(copier.temp, attributes))
    goto done;
  if (!replace_target(copier.temp, target_w, create_new)) goto done;
  copier.temp[0] = 0;  // it is the target now
  result = 1;
  // The new data, its attributes and (everywhere but after a tunnelling move) its times are in
  // place now: a failure here only costs the exact creation time, so the copy still counts as
  // done. Failing it would report a broken update although the game has the new file, and
  // nothing could bring the old file back.
  give_final_times(target_w);

done:
  release_copy();
  remove_system_end(copy_system_end);
  mem_free(buffer);
  if (!had_dialog) close_progress();
  return result;
}

int copy_file(const char* source, const char* target, int create_new) {
  wchar_t target_w[PATH_TEXT_SIZE];
  if (cp932_to_wide(target, target_w, PATH_TEXT_SIZE, WIDE_NAME) < 0) target_w[0] = 0;
  // A name that is not valid Shift-JIS leaves the target empty, which fails the copy.
  return copy_file_wide_target(source, target_w, create_new);
}
