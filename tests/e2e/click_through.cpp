// click_through [--in FOLDER] UPDATER.EXE [SPLASH.BMP]: runs the updater (in FOLDER, else in
// its own folder) as a user who agrees to everything would: it answers every box with OK (a
// retry question with Cancel), prints each box in full in UTF-8 (caption, every line of every
// text, the buttons and the one pressed), keeps the splash screen as a BMP while the
// confirmation waits, and reports the times from start to the splash's title being on the
// screen and from the confirmation to the end. Exits with the updater's exit code (2 when it
// could not run).
// click_through --window PROGRAM.EXE: the time from start until PROGRAM shows a window, which
// is then closed. Used by scripts/demo and bench/startup.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include "e2e_driver.h"
#include "robot.h"

static std::string utf8_of(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
  out.resize(strlen(out.c_str()));
  return out;
}

// A box as the player sees it: "box: CAPTION", then each line of each text (a message box's
// message, a dialog's static texts in their order) indented, then its buttons with the one
// the robot presses marked.
static void print_box(HWND box, int pressed) {
  RobotBox read;
  if (robot_read_box(box, &read) != 0) return;
  printf("  box: %s\n", read.caption.wide[0] ? utf8_of(read.caption.wide).c_str() : "(no caption)");
  for (int i = 0; i < read.text_count; i++) {
    std::wstring text = read.texts[i].wide;
    size_t start = 0;
    for (;;) {
      size_t end = text.find(L'\n', start);
      std::wstring line = text.substr(start, end == std::wstring::npos ? end : end - start);
      if (!line.empty() && line.back() == L'\r') line.pop_back();
      if (line.empty())
        printf("\n");
      else
        printf("    %s\n", utf8_of(line).c_str());
      if (end == std::wstring::npos) break;
      start = end + 1;
    }
  }
  std::string buttons;
  for (int i = 0; i < read.button_count; i++) {
    RobotText label;
    if (robot_control_text(box, read.button_ids[i], &label) != 0 || !label.wide[0]) continue;
    if (!buttons.empty()) buttons += " ";
    buttons += std::string(read.button_ids[i] == pressed ? "*" : "") + "[" +
               utf8_of(label.wide) + "]";
  }
  printf("    buttons: %s (* pressed)\n", buttons.c_str());
  fflush(stdout);
}

static double seconds_since(LARGE_INTEGER start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

// The splash as shown, with the confirmation and the read-me moved out of the way.
static void keep_splash(UpdaterRun* run, HWND box, const wchar_t* path) {
  SetWindowPos(box, nullptr, -4000, -4000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (readme_opened(5000)) close_readme_windows();
  Sleep(500);
  HWND main = updater_window(run->process.dwProcessId);
  if (!main || !save_screenshot(capture_client(main), path))
    printf("  (the splash screen could not be kept)\n");
  SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// True once the splash's title band (client rows 282 to 297) holds a white pixel.
static bool title_drawn(DWORD process_id) {
  HWND main = updater_window(process_id);
  if (!main || !IsWindowVisible(main)) return false;
  ClientPixels shot = capture_client(main);
  for (int y = 282; y < 298 && y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x)
      if (shot.at(x, y) == 0xFFFFFF) return true;
  return false;
}

// The peer: start until a visible window, which is then closed.
static int time_window(const std::wstring& program) {
  UpdaterRun run;
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!start_updater(&run, program, L".")) return 2;
  HWND window = nullptr;
  while (!window && WaitForSingleObject(run.process.hProcess, 1) == WAIT_TIMEOUT)
    window = visible_window_of(run.process.dwProcessId);
  if (window) {
    printf("time: start to window %.3f s\n", seconds_since(start));
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  DWORD code = finish_updater(&run, 10000);
  end_updater(&run);
  return window && code == 0 ? 0 : 2;
}

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && wcscmp(argv[1], L"--window") == 0) return time_window(argv[2]);
  std::wstring folder;
  if (argc > 2 && wcscmp(argv[1], L"--in") == 0) {
    folder = argv[2];
    argc -= 2;
    argv += 2;
  }
  if (argc < 2) {
    fprintf(stderr, "usage: click_through [--in FOLDER] UPDATER.EXE [SPLASH.BMP]\n");
    return 2;
  }
  std::wstring program = argv[1];
  if (folder.empty()) folder = program.substr(0, program.find_last_of(L"\\/") + 1);
  UpdaterRun run;
  LARGE_INTEGER start, confirmed = {};
  QueryPerformanceCounter(&start);
  if (!start_updater(&run, program, folder.empty() ? L"." : folder)) {
    fprintf(stderr, "click_through: cannot start the updater\n");
    return 2;
  }
  double to_title = -1, to_end = -1;
  while (WaitForSingleObject(run.process.hProcess, 2) == WAIT_TIMEOUT) {
    if (title_drawn(run.process.dwProcessId)) {
      to_title = seconds_since(start);
      break;
    }
  }
  for (;;) {
    std::string seen;
    std::wstring wide;
    HWND box = next_updater_box(&run, &seen, 60000, &wide);
    if (!box) break;  // the updater ended (or hangs: then finish_updater says so)
    bool confirmation = wide.rfind(L"アップデート確認|", 0) == 0;
    bool retry = wide.find(L"リトライしますか") != std::wstring::npos;
    print_box(box, retry ? IDCANCEL : IDOK);
    if (confirmation) {
      if (argc > 2) keep_splash(&run, box, argv[2]);
      QueryPerformanceCounter(&confirmed);
    }
    if (wide.rfind(L"アップデート終了|", 0) == 0 && confirmed.QuadPart)
      to_end = seconds_since(confirmed);
    robot_press(box, retry ? IDCANCEL : IDOK);
    robot_wait_gone(box, 10000);
    if (WaitForSingleObject(run.process.hProcess, 0) == WAIT_OBJECT_0) break;
  }
  DWORD code = finish_updater(&run, 60000);
  close_readme_windows();
  printf("exit code %d\n", (int)code);
  if (to_title >= 0) printf("time: start to splash title %.3f s\n", to_title);
  if (to_end >= 0) printf("time: confirmation to done %.3f s\n", to_end);
  end_updater(&run);
  return code == STILL_ACTIVE ? 2 : (int)code;
}
