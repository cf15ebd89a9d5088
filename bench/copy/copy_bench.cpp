// Wall time of copy_file as the updater runs it (the data flushed to disk before the target is
// replaced), of copy_file without that flush, and of the system's CopyFileW, on the same data
// in the same run: one file of 512 MiB and 2,000 files of 64 KiB, each side run ROUNDS times
// (3 unless given) with the order of the sides turned each round, best time kept. Prints the
// times and the ratios flushed / unflushed and each / system. Run under Wine with a display
// (the progress dialog is open during the copies, as in the updater).
// Usage: copy_bench [folder [ROUNDS]]   (default: copy_bench_<pid> below the current directory)
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>
#include "app_window.h"
#include "file_copy.h"

enum { BIG_MIB = 512, SMALL_FILES = 2000, SMALL_BYTES = 65536, DEFAULT_ROUNDS = 3 };
enum Side { FLUSHED, UNFLUSHED, SYSTEM, SIDES };
static const char* const side_names[SIDES] = {"copy_file", "unflushed", "CopyFileW"};

static double now_s(void) {
  LARGE_INTEGER count, rate;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&rate);
  return (double)count.QuadPart / (double)rate.QuadPart;
}

static std::wstring wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

static bool make_file(const std::string& path, unsigned long long bytes, unsigned seed) {
  HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<unsigned> block(1 << 18);  // 1 MiB
  unsigned value = seed;
  bool ok = true;
  for (unsigned long long done = 0; ok && done < bytes;) {
    for (unsigned& word : block) word = value = value * 1103515245u + 12345u;
    DWORD want = (DWORD)(bytes - done < (1u << 20) ? bytes - done : (1u << 20)), put = 0;
    ok = WriteFile(file, block.data(), want, &put, nullptr) && put == want;
    done += want;
  }
  CloseHandle(file);
  return ok;
}

static void remove_file(const std::string& path) { DeleteFileW(wide(path).c_str()); }

// The copier's fault hook used as a switch: the flush is left out, everything else runs.
static CopyFault skip_flush(CopyCall call) {
  return call == COPY_CALL_FLUSH ? COPY_SKIP : COPY_RUN;
}

// Writes the file's data through to the disk (outside the timed part).
static void settle(const std::string& path) {
  HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  FlushFileBuffers(file);
  CloseHandle(file);
}

// Copies every source to its target on one side; seconds. The copies are then written through
// to the disk untimed, so that no side pays for the write-back of the side before it.
static double run(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                  Side side) {
  for (const std::string& target : targets) remove_file(target);
  set_copy_fault_hook(side == UNFLUSHED ? skip_flush : nullptr);
  double start = now_s();
  for (size_t i = 0; i < sources.size(); i++) {
    int ok = side == SYSTEM
                 ? CopyFileW(wide(sources[i]).c_str(), wide(targets[i]).c_str(), FALSE)
                 : copy_file(sources[i].c_str(), targets[i].c_str(), 0);
    if (!ok) {
      fprintf(stderr, "copy of %s failed\n", sources[i].c_str());
      return -1;
    }
  }
  double seconds = now_s() - start;
  for (const std::string& target : targets) settle(target);
  return seconds;
}

int main(int argc, char** argv) {
  char name[64];
  snprintf(name, sizeof name, "copy_bench_%lu", GetCurrentProcessId());
  std::string folder = argc > 1 ? argv[1] : name;
  int rounds = argc > 2 ? atoi(argv[2]) : DEFAULT_ROUNDS;
  if (rounds < 1) rounds = DEFAULT_ROUNDS;
  CreateDirectoryW(wide(folder).c_str(), nullptr);
  create_main_window(GetModuleHandleW(nullptr), nullptr);

  std::vector<std::string> big_from = {folder + "\\big.src"}, big_to = {folder + "\\big.dst"};
  std::vector<std::string> small_from, small_to;
  bool made = make_file(big_from[0], (unsigned long long)BIG_MIB << 20, 1);
  for (int i = 0; made && i < SMALL_FILES; i++) {
    small_from.push_back(folder + "\\s" + std::to_string(i) + ".src");
    small_to.push_back(folder + "\\s" + std::to_string(i) + ".dst");
    made = make_file(small_from.back(), SMALL_BYTES, (unsigned)i + 2);
  }
  if (!made) {
    fprintf(stderr, "cannot make the test files in %s\n", folder.c_str());
    return 1;
  }

  open_progress();  // one dialog for all copies, as the updater keeps one per copied pair
  double best[2][SIDES];  // [big, small][side]
  for (auto& row : best)
    for (double& seconds : row) seconds = 1e9;
  for (int round = 0; round < rounds; round++) {
    for (int k = 0; k < SIDES; k++) {
      Side side = (Side)((round + k) % SIDES);  // each side goes first once
      double big = run(big_from, big_to, side), small = run(small_from, small_to, side);
      if (big < 0 || small < 0) return 1;
      if (big < best[0][side]) best[0][side] = big;
      if (small < best[1][side]) best[1][side] = small;
    }
  }
  set_copy_fault_hook(nullptr);
  close_progress();

  static const char* const labels[2] = {"512 MiB file", "2000 x 64 KiB files"};
  for (int set = 0; set < 2; set++) {
    printf("%-20s", labels[set]);
    for (int side = 0; side < SIDES; side++)
      printf("  %s %.3f s", side_names[side], best[set][side]);
    printf("\n%-20s  flushed/unflushed %.2f  flushed/system %.2f  unflushed/system %.2f\n", "",
           best[set][FLUSHED] / best[set][UNFLUSHED], best[set][FLUSHED] / best[set][SYSTEM],
           best[set][UNFLUSHED] / best[set][SYSTEM]);
  }
  for (const std::string& path : big_from) remove_file(path);
  for (const std::string& path : big_to) remove_file(path);
  for (const std::string& path : small_from) remove_file(path);
  for (const std::string& path : small_to) remove_file(path);
  if (argc <= 1) RemoveDirectoryW(wide(folder).c_str());
  return 0;
}
