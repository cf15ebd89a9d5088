// The Windows side of the frame: the main window and its class, the chain of message callbacks
// that main_wnd_proc dispatches to, the idle chain of the pump, the pinned window rectangle,
// the search for windows by class name and COM start-up. Windows only; the portable parts of
// the updater see frame.h alone.
#pragma once
#include <windows.h>
#include "frame.h"

// A message callback: nonzero when it handled the message. The value main_wnd_proc returns for
// a handled message is set with set_wnd_proc_result.
typedef int (*WndProcCallback)(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// A callback of the idle chain, run by pump_messages after 256 calls that found no message.
typedef void (*IdleProc)(void);

enum {
  WND_PROC_SLOTS = 40,
  IDLE_PROC_SLOTS = 40,
  IDLE_PUMP_LIMIT = 256,     // empty pumps in a row before the idle chain runs (on the next one)
  MAIN_CLIENT_WIDTH = 480,
  MAIN_CLIENT_HEIGHT = 304,
  MAIN_ICON_ID = 101,
  CLASS_NAME_CHARS = 63      // class names are compared over this many characters
};

#define MAIN_WINDOW_CLASS "WX7_SS_CLASS"
#define MAIN_WINDOW_STYLE (WS_BORDER | WS_SYSMENU)

// The main window: recorded once created; null before.
void set_main_window(HWND hwnd);
HWND main_window(void);

// Registers the class "WX7_SS_CLASS" (unless `previous` is given) and creates the main window
// with a 480 x 304 client area, no caption text and not yet shown; records it with
// set_main_window and returns it (null when creation failed, which start-up does not check).
// The outer size is corrected after creation when the client area came out otherwise.
HWND create_main_window(HINSTANCE instance, HINSTANCE previous);

// Shows the main window with the start's show command, a maximised one taken as normal.
void show_main_window(int show);

// Sets the main window's title from a cp932 text (invalid bytes show as replacement marks).
void set_main_window_title(const char* title);

// The window procedure of the main window class: hands the message to every callback of the
// chain; DefWindowProc when none handled it.
LRESULT CALLBACK main_wnd_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// Adds `proc` in the lowest empty slot of the chain. 0 when added; 1 when it was already there
// or the chain is full (the latter after the box "AddWndPorc OverFlow!!!").
int AddWndPorc(WndProcCallback proc);
// Empties the slot holding `proc` (the other slots do not move). 0 when removed, 1 when absent.
int remove_wnd_proc(WndProcCallback proc);
// Sets the value main_wnd_proc returns for the message being dispatched. Every dispatch starts
// it at 0, so a callback sets it after anything that may send a message to the window.
void set_wnd_proc_result(int result);

// The idle chain (empty in the updater itself). Same results as AddWndPorc/remove_wnd_proc;
// a full chain is reported with 1 and no box.
int add_idle_proc(IdleProc proc);
int remove_idle_proc(IdleProc proc);

// Number of top-level windows whose class name equals `class_name` (cp932) without regard to
// letter case, over the first 63 characters.
int count_windows_of_class(const char* class_name);

// Records the main window's outer rectangle, centred, before it is first shown; from then on
// the window keeps that place and size whenever it is not minimised. window_pinned gives 1
// and the rectangle once pinned, else 0.
void pin_window_rect(RECT rect);
int window_pinned(RECT* rect);

// Message callback for the end of the Windows session: WM_QUERYENDSESSION is answered TRUE;
// WM_ENDSESSION with wParam TRUE ends the program through app_exit(0), shutdown chain
// included, before the system ends the process. register_session_end adds it to the chain.
int session_end_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
void register_session_end(void);

// CoInitialize and registration of com_system_end on the shutdown chain.
void com_start(void);
// Shutdown callback: CoUninitialize, then removes itself from the chain.
void com_system_end(void);
