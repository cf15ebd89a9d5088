// Helpers of the copy tests.
#include "copy_fixture.h"
#include <cstdlib>
#include "test_window.h"

FaultPlan plan;
FaultCounts counts;

std::string pattern(size_t size, unsigned seed) {
  std::string data(size, '\0');
  unsigned value = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; i++) {
    value = value * 1103515245u + 12345u;
    data[i] = (char)(value >> 16);
  }
  return data;
}

CopyFault test_fault_hook(CopyCall call) {
  counts.calls++;
  if (call == COPY_CALL_READ) {
    counts.reads++;
    if (counts.reads == 1) counts.dialog_at_first_read = progress_window();
    if (plan.sleep_per_read_ms) Sleep((DWORD)plan.sleep_per_read_ms);
    if (counts.reads == plan.quit_at_read) PostQuitMessage(3);
    if (counts.reads == plan.cancel_at_read) {
      // What the Cancel button does: the dialog gets the command at the next pump. Without a
      // dialog the procedure is called as the dialog would call it.
      if (progress_window())
        PostMessageW(progress_window(), WM_COMMAND, IDCANCEL, 0);
      else
        progress_dialog_proc(nullptr, WM_COMMAND, IDCANCEL, 0);
    }
  }
  int number = counts.calls;
  if (plan.only_kind) {
    if (call != plan.only) return COPY_RUN;
    number = ++counts.kind_calls;
  }
  return number == plan.fail_at ? plan.fault : COPY_RUN;
}

void CopyTest::SetUp() {
  plan = FaultPlan();
  counts = FaultCounts();
  set_copy_fault_hook(test_fault_hook);
  test_main_window();
  const char* inherited = getenv(SCRATCH_VARIABLE);
  if (inherited && *inherited) {
    folder = inherited;
    return;
  }
  folder = unique_name("copy_scratch");
  ASSERT_TRUE(::make_folder(folder));
}

void CopyTest::TearDown() {
  set_copy_fault_hook(nullptr);
  close_progress();
  remove_tree(folder);
}

std::string CopyTest::path(const std::string& name) const { return folder + "\\" + name; }

void CopyTest::write_file(const std::string& name, const std::string& data, DWORD attributes,
                          int days) {
  ::write_file(path(name), data, attributes, days);
}

FileState CopyTest::state(const std::string& name) const { return file_state(path(name)); }

std::vector<std::string> CopyTest::listing(const std::string& sub) const {
  return folder_listing(sub.empty() ? folder : path(sub));
}

void CopyTest::make_folder(const std::string& name) {
  ASSERT_TRUE(::make_folder(path(name))) << name;
}
