// The frame's services that every part of the updater calls: the message boxes, the one exit
// path with its shutdown chain, the message pump and allocation. This header is free of
// <windows.h>, so the code that parses files builds natively too; native tests link a double
// of these functions (tests/frame_double.cpp).
#pragma once
#include <cstddef>

// A callback of the shutdown chain: releases what its component holds and then removes
// itself with remove_system_end.
typedef void (*SystemEndProc)(void);

enum { SYSTEM_END_SLOTS = 20 };

// Message boxes owned by the main window and captioned with its current title.
void error_box(const char* text);   // error icon, OK
void notice_box(const char* text);  // OK, no icon
bool confirm_box(const char* text); // OK and Cancel: true when OK was pressed

// Runs the shutdown chain (latest registration first) and ends the process with `code`.
[[noreturn]] void app_exit(int code);

// Appends `proc` to the shutdown chain, moving it to the end when it is already there.
void add_system_end(SystemEndProc proc);
// Removes `proc` if present; the chain stays packed.
void remove_system_end(SystemEndProc proc);
// Calls the chain from its last slot to its first, pumping messages before each slot.
void run_system_end(void);

// Dispatches every queued message without waiting; a quit message ends the program.
void pump_messages(void);

// Never returns null: when memory runs out it tells the user and ends with exit code 1.
void* mem_alloc(size_t size);
void mem_free(void* block);
