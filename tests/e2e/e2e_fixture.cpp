// Helpers of the end-to-end tests: scratch folders, the installation record, the update's
// files, GLEANER and the updater as processes, and the robot on the updater's boxes.
#include "e2e_fixture.h"
#include <cstdio>
#include "robot.h"

// Where the build put a program (a Linux path), reached through Wine's drive Z:.
std::wstring built_program(const char* unix_path) {
  std::wstring path = L"Z:" + widen(unix_path);
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

void EndToEnd::SetUp() {
  folder = unique_name("e2e");
  medium = folder + "\\medium";
  game = folder + "\\game";
  stage = folder + "\\stage";
  ini = unique_name("KitE2e");
  for (const std::string& dir : {folder, medium, game, stage}) ASSERT_TRUE(make_folder(dir));
  ASSERT_TRUE(CopyFileW(built_program(UPDATER_EXE).c_str(),
                        widen(on_medium("updater.exe")).c_str(), FALSE));
  std::string full = full_path(game);
  set_record("1", &full);
}

void EndToEnd::TearDown() {
  end_updater(&run);
  close_readme_windows();
  RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + widen(ini)).c_str());
  remove_tree(folder);
}

std::string EndToEnd::full_path(const std::string& path) const {
  wchar_t wide[MAX_PATH];
  EXPECT_GT(GetFullPathNameW(widen(path).c_str(), MAX_PATH, wide, nullptr), 0u);
  return narrow(wide);
}

void EndToEnd::set_record(const char* installed, const std::string* save_dir) {
  write_install_record(ini, installed, save_dir);
}

void EndToEnd::write_env(const std::string& where, const std::string& lines) {
  write_file(where + "\\UPDATE.ENV", "INIFILE " + ini + "\r\nINISECTION Sec\r\n" + lines);
}

static void put_u32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = (char)(value >> (8 * i));
}

// A 400 x 280 picture of 8-bit indices: bands of 20 pixels, colour i of the table being red i,
// green 255 - i, blue 128. The top-left 20 x 20 pixels have index 0 (red 0, green 255).
static std::string splash_picture(void) {
  const int width = 400, height = 280, colours = 220;
  std::string bmp(54 + colours * 4 + width * height, '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  put_u32(bmp, 2, (uint32_t)bmp.size());
  put_u32(bmp, 10, 54 + colours * 4);
  put_u32(bmp, 14, 40);
  put_u32(bmp, 18, width);
  put_u32(bmp, 22, height);
  bmp[26] = 1;
  bmp[28] = 8;
  put_u32(bmp, 46, colours);
  for (int i = 0; i < colours; ++i) {
    bmp[54 + i * 4 + 0] = (char)128;        // blue
    bmp[54 + i * 4 + 1] = (char)(255 - i);  // green
    bmp[54 + i * 4 + 2] = (char)i;          // red
  }
  size_t pixels = 54 + colours * 4;
  for (int y = 0; y < height; ++y)  // stored bottom-up
    for (int x = 0; x < width; ++x)
      bmp[pixels + (height - 1 - y) * width + x] = (char)((x / 20 + y / 20) % colours);
  return bmp;
}

void EndToEnd::write_splash(const std::string& where) {
  write_file(where + "\\update.bmp", splash_picture());
  std::string record(134, '\0');
  record[4] = 4;  // payload size
  write_file(where + "\\update.itw", record + "DATA");
}

// Runs `command_line` in `directory` and returns its exit code (-1 when it did not start).
static int run_program(const std::wstring& command_line, const std::string& directory) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  quiet_startup(&startup);
  PROCESS_INFORMATION info = {};
  std::wstring line = command_line;
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                      widen(directory).c_str(), &startup, &info))
    return -1;
  WaitForSingleObject(info.hProcess, 60000);
  DWORD code = (DWORD)-1;
  GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return (int)code;
}

int EndToEnd::pack(void) {
  // The archive goes beside the tag file's folder's sibling: ">..\medium" from the stage.
  write_file(in_stage("UPDATE.TAG"), ">..\\medium\r\nUPDATE.ENV\r\nupdate.bmp\r\nupdate.itw\r\n");
  std::wstring line = L"\"" + built_program(GLEANER_EXE) + L"\" UPDATE.TAG";
  return run_program(line, stage);
}

bool EndToEnd::start(const std::string& directory, int show) {
  predict_update(&prediction, medium, full_path(game), folder);
  return start_updater(&run, widen(full_path(on_medium(program))),
                       widen(directory.empty() ? medium : directory), show);
}

HWND EndToEnd::next_box(std::string* seen, int timeout_ms) {
  HWND box = next_updater_box(&run, seen, timeout_ms);
  if (box) note_box(&prediction, *seen);
  return box;
}

std::string EndToEnd::answer(int id) {
  std::string seen;
  HWND box = next_box(&seen);
  if (!box) return "";
  EXPECT_EQ(0, robot_press(box, id)) << seen;
  robot_wait_gone(box, 10000);
  return seen;
}

DWORD EndToEnd::finish(int timeout_ms) {
  DWORD code = finish_updater(&run, timeout_ms);
  if (code != STILL_ACTIVE) check_prediction(&prediction, game);
  return code;
}

bool EndToEnd::shows_a_window(void) const {
  return visible_window_of(run.process.dwProcessId) != nullptr;
}
