// A test double of the window side of the display (display.h): repaint requests are recorded,
// apply_palette copies the entries into the RGB table as a direct-colour display does, and the
// display mode is whatever the test sets.
#pragma once
#include "display.h"

enum { DOUBLE_MAX_RECTS = 16 };

struct DoubleRect { int x, y, w, h; };

struct DisplayDouble {
  int mode;                               // what check_display answers (DISPLAY_DIRECT at reset)
  DoubleRect rects[DOUBLE_MAX_RECTS];     // the first repaint requests, in order
  int rect_count;                         // every request, also those not kept
  int repaints;                           // repaint_screen calls
  int palette_applies;                    // apply_palette calls
  int paint_registrations;                // register_screen_paint calls
};

DisplayDouble* display_double(void);
void display_double_reset(void);
