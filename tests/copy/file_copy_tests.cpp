// copy_file without a progress dialog on screen: data, times and attributes taken over,
// existing targets replaced only by a complete copy, every failure (including Cancel and an
// injected failure of each system call in turn) leaving the old target as it was and no
// temporary file behind.
#include <climits>
#include "copy_fixture.h"

namespace {

typedef CopyTest FileCopy;

const DWORD RO = FILE_ATTRIBUTE_READONLY;

// Copies `source` onto `target` in the scratch folder and checks the result is a faithful
// copy: same bytes, write and creation times, attributes; nothing else left in the folder.
void expect_copied(FileCopy* test, const std::string& source, const std::string& target) {
  FileState from = test->state(source), to = test->state(target);
  EXPECT_TRUE(to.exists) << target;
  EXPECT_EQ(to.data, from.data);
  EXPECT_EQ(CompareFileTime(&to.written, &from.written), 0);
  EXPECT_EQ(CompareFileTime(&to.created, &from.created), 0);
  EXPECT_EQ(to.attributes, from.attributes);
}

TEST_F(FileCopy, CopiesBytesTimesAndAttributesForEverySize) {
  // Empty, one byte short of a chunk, exactly one chunk, a chunk and a part, several chunks.
  static const size_t sizes[] = {0, 1, 32767, 32768, 40000, 3 * 32768 + 5};
  unsigned seed = 1;
  for (size_t size : sizes) {
    SCOPED_TRACE(size);
    unsigned long long total_before = progress_running_total();
    counts = FaultCounts();
    std::string source = "src" + std::to_string(size) + ".dat";
    std::string target = "dst" + std::to_string(size) + ".dat";
    write_file(source, pattern(size, seed++), 0, (int)size % 1000);
    EXPECT_EQ(copy_file(path(source).c_str(), path(target).c_str(), 0), 1);
    expect_copied(this, source, target);
    EXPECT_EQ(counts.reads, (int)((size + 32767) / 32768));  // whole chunks, the last one short
    EXPECT_EQ(progress_running_total() - total_before, size);
  }
  EXPECT_EQ(listing().size(), 2 * (sizeof sizes / sizeof sizes[0]));  // no temporary file left
}

TEST_F(FileCopy, JapaneseNamesInAJapaneseFolder) {
  // 表 and ソ end in the byte 0x5C: the temporary file must still go to the target's folder.
  make_folder("表示ソフト");
  write_file("能力表.bin", pattern(40000, 7), 0, 300);
  write_file("表示ソフト\\十ポ表.dat", "old", 0, 10);
  EXPECT_EQ(copy_file(path("能力表.bin").c_str(), path("表示ソフト\\十ポ表.dat").c_str(), 0), 1);
  expect_copied(this, "能力表.bin", "表示ソフト\\十ポ表.dat");
  EXPECT_EQ(listing("表示ソフト"), std::vector<std::string>{"十ポ表.dat"});
  EXPECT_EQ(listing(), (std::vector<std::string>{"能力表.bin", "表示ソフト"}));
  // And a failure there leaves the target and the folder as they were.
  FileState before = state("表示ソフト\\十ポ表.dat");
  EXPECT_EQ(copy_file(path("無い表.bin").c_str(), path("表示ソフト\\十ポ表.dat").c_str(), 0), 0);
  EXPECT_EQ(state("表示ソフト\\十ポ表.dat"), before);
  EXPECT_EQ(listing("表示ソフト"), std::vector<std::string>{"十ポ表.dat"});
}

TEST_F(FileCopy, ReadOnlySourceGivesReadOnlyTarget) {
  write_file("ro.dat", pattern(40000, 3), RO, 50);
  ASSERT_TRUE(state("ro.dat").attributes & RO);
  EXPECT_EQ(copy_file(path("ro.dat").c_str(), path("copy.dat").c_str(), 0), 1);
  expect_copied(this, "ro.dat", "copy.dat");
  EXPECT_TRUE(state("copy.dat").attributes & RO);
  EXPECT_EQ(listing().size(), 2u);
}

TEST_F(FileCopy, ReadOnlyTargetIsReplaced) {
  write_file("new.dat", pattern(32768, 4), 0, 60);
  write_file("old.dat", "an older, read-only version", RO, 20);
  EXPECT_EQ(copy_file(path("new.dat").c_str(), path("old.dat").c_str(), 0), 1);
  expect_copied(this, "new.dat", "old.dat");
  EXPECT_FALSE(state("old.dat").attributes & RO);
  EXPECT_EQ(listing().size(), 2u);
}

TEST_F(FileCopy, CreateNewCopiesOntoNoTarget) {
  write_file("src.dat", pattern(100, 5), 0, 70);
  EXPECT_EQ(copy_file(path("src.dat").c_str(), path("fresh.dat").c_str(), 1), 1);
  expect_copied(this, "src.dat", "fresh.dat");
}

TEST_F(FileCopy, FailuresLeaveTheTargetAsItWasAndNoTemporaryFile) {
  write_file("src.dat", pattern(40000, 6), 0, 80);
  make_folder("sub");
  struct Case {
    const char* what;
    const char* source;
    const char* target;  // relative to the scratch folder
    int create_new;
    DWORD target_attributes;  // of the existing target; 0: a plain one
  } cases[] = {
      {"missing source", "none.dat", "old.dat", 0, 0},
      {"missing source, read-only target", "none.dat", "old.dat", 0, RO},
      {"create-new onto an existing target", "src.dat", "old.dat", 1, 0},
      {"create-new onto a read-only target", "src.dat", "old.dat", 1, RO},
      {"target folder missing", "src.dat", "nowhere\\old.dat", 0, 0},
      {"target is a folder", "src.dat", "sub", 0, 0},
      {"source is a folder", "sub", "old.dat", 0, 0},
      {"source name not Shift-JIS", "\x81\x20.dat", "old.dat", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bool existing = strcmp(c.target, "old.dat") == 0;
    if (existing) write_file("old.dat", "the working version", c.target_attributes, 30);
    std::vector<std::string> before_listing = listing();
    FileState before = state(c.target);
    EXPECT_EQ(copy_file(path(c.source).c_str(), path(c.target).c_str(), c.create_new), 0);
    EXPECT_EQ(state(c.target), before);
    EXPECT_EQ(listing(), before_listing);
    EXPECT_TRUE(listing("sub").empty());
  }
}

TEST_F(FileCopy, EachFailingSystemCallLeavesTheOldTarget) {
  // Fails call 1, 2, 3 ... of a three-chunk copy onto a read-only target until the copy gets
  // through; then does the same with reads that return nothing and short writes.
  write_file("src.dat", pattern(2 * 32768 + 100, 8), 0, 90);
  struct Mode {
    const char* what;
    CopyFault fault;
    bool only_kind;
    CopyCall kind;
  } modes[] = {{"failing call", COPY_FAIL, false, COPY_CALL_READ},
               {"empty read", COPY_SHORT, true, COPY_CALL_READ},
               {"short write", COPY_SHORT, true, COPY_CALL_WRITE}};
  for (const Mode& m : modes) {
    int failures = 0;
    for (int n = 1;; n++) {
      SCOPED_TRACE(std::string(m.what) + " " + std::to_string(n));
      ASSERT_LT(n, 100) << "the copy never got through";
      write_file("old.dat", "the working version", RO, 40);
      FileState before = state("old.dat");
      plan = FaultPlan();
      plan.fail_at = n;
      plan.fault = m.fault;
      plan.only_kind = m.only_kind;
      plan.only = m.kind;
      counts = FaultCounts();
      int result = copy_file(path("src.dat").c_str(), path("old.dat").c_str(), 0);
      EXPECT_EQ(listing().size(), 2u);
      if (result == 1) {
        expect_copied(this, "src.dat", "old.dat");
        break;
      }
      failures++;
      EXPECT_EQ(state("old.dat"), before);
    }
    // Open, create, size, three reads and three writes, two for the times, the flush, two for
    // the attributes, the move: 15 calls; or three reads or three writes. The 16th, the times
    // given again under the final name, cannot fail the copy any more.
    EXPECT_EQ(failures, m.only_kind ? 3 : 15) << m.what;
  }
}

// Every call the copier asks the hook about, in order. At the times given under the final
// name, `tunnel_target` first gets `tunnel_created` and `tunnel_written` as if a move on NTFS
// had handed it the creation time of the file it replaced (Wine does not do that itself).
std::vector<CopyCall> calls_seen;
std::wstring tunnel_target;
FILETIME tunnel_created, tunnel_written;
CopyFault record_and_tunnel(CopyCall call) {
  calls_seen.push_back(call);
  if (call == COPY_CALL_TARGET_TIME) {
    HANDLE file = CreateFileW(tunnel_target.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << "the file is not under its final name yet";
    EXPECT_TRUE(SetFileTime(file, &tunnel_created, nullptr, &tunnel_written));
    CloseHandle(file);
  }
  return test_fault_hook(call);
}

TEST_F(FileCopy, FlushesBeforeTheMoveAndGivesTheTimesUnderTheFinalName) {
  // The data reaches the disk before the name is switched, and the last thing a copy does is
  // give the source's times to the file under its final name, whatever the attributes on
  // either side (hidden, system and read-only files included).
  const DWORD HSR = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | RO;
  struct Case {
    const char* what;
    DWORD source_attributes;
    DWORD target_attributes;  // of the old target
    int create_new;           // 1: no old target
  } cases[] = {{"plain onto plain", 0, 0, 0},
               {"plain onto read-only", 0, RO, 0},
               {"plain onto hidden, system, read-only", 0, HSR, 0},
               {"read-only and hidden onto plain", RO | FILE_ATTRIBUTE_HIDDEN, 0, 0},
               {"hidden, system, read-only onto the same", HSR, HSR, 0},
               {"read-only, a new name", RO, 0, 1}};
  int days = 200;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write_file("src.dat", pattern(2 * 32768 + 7, (unsigned)days), c.source_attributes, days);
    if (!c.create_new) write_file("dst.dat", "the old version", c.target_attributes, 3);
    tunnel_created = day_time(3);  // the old target's times
    tunnel_written = day_time(5);
    tunnel_target = widen(path("dst.dat"));
    calls_seen.clear();
    set_copy_fault_hook(record_and_tunnel);
    EXPECT_EQ(copy_file(path("src.dat").c_str(), path("dst.dat").c_str(), c.create_new), 1);
    expect_copied(this, "src.dat", "dst.dat");
    EXPECT_EQ(listing().size(), 2u);
    // After the last write: the times on the temporary file, the flush, the attributes, the
    // move, and the times again under the final name.
    std::vector<CopyCall> tail;
    for (size_t i = calls_seen.size(); i > 0 && calls_seen[i - 1] != COPY_CALL_WRITE; i--)
      tail.insert(tail.begin(), calls_seen[i - 1]);
    EXPECT_EQ(tail, (std::vector<CopyCall>{COPY_CALL_GET_TIME, COPY_CALL_SET_TIME,
                                           COPY_CALL_FLUSH, COPY_CALL_GET_ATTRIBUTES,
                                           COPY_CALL_SET_ATTRIBUTES, COPY_CALL_REPLACE,
                                           COPY_CALL_TARGET_TIME}));
    SetFileAttributesW(tunnel_target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(tunnel_target.c_str());
    days += 10;
  }
}

TEST_F(FileCopy, AFailingFlushFailsTheCopyALateTimeFailureDoesNot) {
  // A flush that fails is a write that did not reach the disk: the old target stays and the
  // temporary file goes. Once the new file has its name, a failure to give it the times again
  // keeps it (with the times and attributes it got before the move) and counts as done; a
  // skipped flush (the benchmark's unflushed copy) copies too.
  struct Case {
    const char* what;
    CopyCall call;
    CopyFault fault;
    int result;
  } cases[] = {{"failing flush", COPY_CALL_FLUSH, COPY_FAIL, 0},
               {"skipped flush", COPY_CALL_FLUSH, COPY_SKIP, 1},
               {"failing late times", COPY_CALL_TARGET_TIME, COPY_FAIL, 1}};
  for (const Case& c : cases) {
    for (DWORD target_attributes : {(DWORD)0, RO}) {
      SCOPED_TRACE(std::string(c.what) + (target_attributes ? ", read-only target" : ""));
      write_file("src.dat", pattern(40000, 14), 0, 120);
      write_file("old.dat", "the working version", target_attributes, 40);
      FileState before = state("old.dat");
      plan = FaultPlan();
      plan.only_kind = true;
      plan.only = c.call;
      plan.fail_at = 1;
      plan.fault = c.fault;
      counts = FaultCounts();
      EXPECT_EQ(copy_file(path("src.dat").c_str(), path("old.dat").c_str(), 0), c.result);
      EXPECT_EQ(counts.kind_calls, 1);
      if (c.result)
        expect_copied(this, "src.dat", "old.dat");
      else
        EXPECT_EQ(state("old.dat"), before);
      EXPECT_EQ(listing(), (std::vector<std::string>{"old.dat", "src.dat"}));
    }
  }
}

// Creates `late_target` when the copier is about to move its temporary file into place.
std::wstring late_target;
CopyFault create_target_late(CopyCall call) {
  if (call == COPY_CALL_REPLACE) {
    HANDLE file = CreateFileW(late_target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, "late", 4, &written, nullptr);
    CloseHandle(file);
  }
  return COPY_RUN;
}

TEST_F(FileCopy, CreateNewFailsWhenTheTargetAppearsDuringTheCopy) {
  // The target appears between the first check and the final move: it is kept, the copy fails.
  write_file("src.dat", pattern(40000, 9), 0, 100);
  late_target = widen(path("late.dat"));
  set_copy_fault_hook(create_target_late);
  EXPECT_EQ(copy_file(path("src.dat").c_str(), path("late.dat").c_str(), 1), 0);
  EXPECT_EQ(state("late.dat").data, "late");
  EXPECT_EQ(listing().size(), 2u);
}

TEST_F(FileCopy, CancelStopsBeforeTheNextChunkAndOnlyThatCopy) {
  write_file("big.dat", pattern(4 << 20, 10), 0, 110);
  write_file("old.dat", "the working version", 0, 10);
  FileState before = state("old.dat");
  unsigned long long total_before = progress_running_total();
  plan.cancel_at_read = 3;
  EXPECT_EQ(copy_file(path("big.dat").c_str(), path("old.dat").c_str(), 0), 0);
  EXPECT_EQ(counts.reads, 3);
  EXPECT_EQ(progress_running_total() - total_before, 3u * 32768);  // written bytes still count
  EXPECT_EQ(state("old.dat"), before);
  EXPECT_EQ(listing().size(), 2u);
  // The next copy starts with the flag cleared.
  plan = FaultPlan();
  EXPECT_EQ(copy_file(path("big.dat").c_str(), path("old.dat").c_str(), 0), 1);
  expect_copied(this, "big.dat", "old.dat");
}

TEST_F(FileCopy, ProgramEndingDuringACopyLeavesNoTemporaryFile) {
  // A quit message met by the pump between two chunks ends the program through the shutdown
  // chain; the copy's own shutdown callback removes the temporary file.
  write_file("big.dat", pattern(1 << 20, 12), 0, 5);
  write_file("old.dat", "the working version", RO, 10);
  FileState before = state("old.dat");
  SetEnvironmentVariableA(SCRATCH_VARIABLE, folder.c_str());
  plan.quit_at_read = 3;
  EXPECT_EXIT(copy_file(path("big.dat").c_str(), path("old.dat").c_str(), 0),
              ::testing::ExitedWithCode(3), "");
  SetEnvironmentVariableA(SCRATCH_VARIABLE, nullptr);
  EXPECT_EQ(state("old.dat"), before);
  EXPECT_EQ(listing().size(), 2u);
}

TEST(ProgressUnits, CountUnitsOf32KiBClampedToInt) {
  static const struct {
    unsigned long long bytes;
    int units;
  } cases[] = {{0, 0},
               {32767, 0},
               {32768, 1},
               {40000, 1},
               {0x7FFFFFFFull, 65535},
               {0x100000000ull, 131072},            // 4 GiB
               {0x100000000ull + 32768, 131073},
               {0x3FFFFFFFFFFFull, INT_MAX},       // the last byte count that fits
               {0x400000000000ull, INT_MAX},       // 2^46 and beyond: clamped
               {~0ull, INT_MAX}};
  for (const auto& c : cases) EXPECT_EQ(progress_units(c.bytes), c.units) << c.bytes;
}

}  // namespace
