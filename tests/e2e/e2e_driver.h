// Driving the real updater.exe from another process (the end-to-end tests, the demo's
// click-through tool and the start-up benchmark): starting it, finding and reading its boxes,
// taking its client area off the screen, and the read-me viewer it opens.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "client_capture.h"

// One run of the updater.
struct UpdaterRun {
  PROCESS_INFORMATION process = {};
  HWND copying = nullptr;  // its copy progress dialog, once seen
};

// Standard handles on NUL for a program about to be started with inherited handles, so that
// it (and what the shell starts for it) does not hold the starter's output open.
void quiet_startup(STARTUPINFOW* startup);

// Starts `program` with `directory` as its current directory and, when `show` is not -1, that
// show command in its STARTUPINFO (as a shortcut set to run minimised passes one). False when
// it could not start.
bool start_updater(UpdaterRun* run, const std::wstring& program, const std::wstring& directory,
                   int show = -1);
// Waits for the next box of the run (never the progress dialog) and describes it as
// "<caption>|<text>" in cp932 (and, when `wide` is given, in UTF-16): the text is the message
// of a message box or the confirmation line of the confirmation dialog. Null on timeout or
// once the process has ended.
HWND next_updater_box(UpdaterRun* run, std::string* seen, int timeout_ms,
                      std::wstring* wide = nullptr);
// The exit code once the run ended; STILL_ACTIVE when it did not end within `timeout_ms`.
DWORD finish_updater(UpdaterRun* run, int timeout_ms);
// Ends the run (terminating it when still running) and releases its handles.
void end_updater(UpdaterRun* run);
// A visible top-level window of process `process_id`; null when it has none.
HWND visible_window_of(DWORD process_id);
// The updater's main window (class "WX7_SS_CLASS") in process `process_id`; null if none.
HWND updater_window(DWORD process_id);

// Writes `shot` as a 24-bit BMP file at `path`.
bool save_screenshot(const ClientPixels& shot, const std::wstring& path);

// Whether the read-me viewer (Notepad) opened within `timeout_ms`.
bool readme_opened(int timeout_ms = 10000);
// The caption of a read-me viewer window ("" when none is open), which names the file shown.
std::wstring readme_caption(void);
// Closes every viewer window, also one that the shell is still starting.
void close_readme_windows(void);
