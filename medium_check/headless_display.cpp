// The window side of the display for a program without a window: the checker reads pictures
// through the bitmap loader but never draws on a screen, so nothing here is ever shown.
#include "display.h"
#include "palette_tables.h"

int check_display(void) { return DISPLAY_DIRECT; }
void apply_palette(void) {}
void invalidate_screen_rect(int, int, int, int) {}
void repaint_screen(void) {}
void register_screen_paint(void) {}
