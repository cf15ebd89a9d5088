// The display services that the portable drawing code (pages, bitmap loader, data files)
// calls on the window side. Windows: palette.cpp and screen_window.cpp; native tests link a
// double (tests/double/display_double.cpp).
#pragma once

// The kind of display (DISPLAY_DIRECT or DISPLAY_PALETTE); the first call checks the display
// and ends the program when it cannot show the updater.
int check_display(void);

// Makes the palette entries set so far visible.
void apply_palette(void);

// Marks a rectangle of page coordinates for repainting in the main window (no erasing).
void invalidate_screen_rect(int x, int y, int w, int h);

// Repaints the whole client area at once, erasing first (the shown page changed).
void repaint_screen(void);

// Puts the page painter on the main window's message chain.
void register_screen_paint(void);
