// free_space_mib: GetDiskFreeSpaceExW on the folder itself, which takes any existing folder
// (UNC included) and answers for the volume the folder lives on, then on its drive's root.
#include "free_space.h"
#include <windows.h>
#include <climits>
#include <cwchar>

enum { MEASURED_PATH_CHARS = 264 };  // a folder of up to 255 characters and a backslash

static struct {
  DiskFreeQuery query;  // tests only
} free_space;

void set_disk_free_query(DiskFreeQuery query) { free_space.query = query; }

int whole_mib(unsigned long long bytes) {
  unsigned long long mib = bytes / 1048576ull;
  return mib > (unsigned long long)INT_MAX ? INT_MAX : (int)mib;
}

static int ask_system(const wchar_t* path, unsigned long long* available) {
  ULARGE_INTEGER caller, total, total_free;
  if (!GetDiskFreeSpaceExW(path, &caller, &total, &total_free)) return 0;
  *available = caller.QuadPart;
  return 1;
}

// 1 with the space of `path`, else 0.
static int measure_path(const wchar_t* path, unsigned long long* available) {
  return free_space.query ? free_space.query(path, available) : ask_system(path, available);
}

int free_space_mib(const wchar_t* folder) {
  unsigned long long available = 0;
  // With a trailing backslash, as a UNC share's root requires.
  wchar_t path[MEASURED_PATH_CHARS];
  size_t length = wcslen(folder);
  if (length > 0 && length + 2 <= MEASURED_PATH_CHARS) {
    wcscpy(path, folder);
    if (path[length - 1] != L'\\' && path[length - 1] != L'/') wcscat(path, L"\\");
    if (measure_path(path, &available)) return whole_mib(available);
  }
  // The drive part as the run-time's path splitting sees it: a character and a colon.
  wchar_t root[4] = L"\\";
  if (length >= 2 && folder[1] == L':') {
    root[0] = folder[0];
    root[1] = L':';
    root[2] = L'\\';
    root[3] = 0;
  }
  if (measure_path(root, &available)) return whole_mib(available);
  return -1;
}
