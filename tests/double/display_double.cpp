// The window side of the display for tests without a window.
#include "display_double.h"
#include <cstring>
#include "palette_tables.h"

static DisplayDouble g_display;

DisplayDouble* display_double(void) { return &g_display; }

void display_double_reset(void) { memset(&g_display, 0, sizeof g_display); }

int check_display(void) { return g_display.mode; }

void apply_palette(void) {
  ++g_display.palette_applies;
  copy_entries_to_rgb();
}

void invalidate_screen_rect(int x, int y, int w, int h) {
  if (g_display.rect_count < DOUBLE_MAX_RECTS) g_display.rects[g_display.rect_count] = {x, y, w, h};
  ++g_display.rect_count;
}

void repaint_screen(void) { ++g_display.repaints; }

void register_screen_paint(void) { ++g_display.paint_registrations; }
