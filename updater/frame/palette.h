// The Windows side of the palette: the display check, the palette object of a palette-based
// display and its messages, and the palette selection around a paint. The tables themselves
// are in palette_tables.h; check_display and apply_palette are declared in display.h.
#pragma once
#include <windows.h>
#include "display.h"
#include "palette_tables.h"

// The mode a display with these capabilities gets: DISPLAY_PALETTE when RASTERCAPS has
// RC_PALETTE (unsuitable below 256 palette entries), else DISPLAY_DIRECT (unsuitable below
// 8 bits per pixel); DISPLAY_UNSUITABLE otherwise.
int display_mode_for(int raster_caps, int palette_size, int planes, int bits_per_pixel);
// The text that ends the program for this display, or null when it can show the updater.
const char* display_fault_text(int mode, int width, int height);

// Sets up the tables for `count` entries and, on a palette-based display, the palette object.
// 0 palette object created, -1 it could not be, 1 direct-colour display. Runs once; later
// calls return the first result.
int init_palette(int count);

// Message callback: realizes the palette and animates the changed entries.
int palette_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// Around a paint: selects and realizes the palette object in `dc`, and puts back what it
// replaced. Nothing without a palette object.
void select_paint_palette(HDC dc);
void restore_paint_palette(void);

// Shutdown callback: deletes the palette object and leaves the shutdown chain.
void release_palette(void);

// Shows `text` in an error box and ends the program with exit code -1.
[[noreturn]] void fatal_display_error(const char* text);

// The palette object, null when there is none.
HPALETTE palette_object(void);
