// "update.bmp" as the updater's bitmap loader will draw it on the splash: whether it is drawn
// at all, cut, with black pixels or with a stray column.
#pragma once

enum {
  SPLASH_WIDTH = 480,    // the client area's width
  SPLASH_HEIGHT = 280,   // rows above the title band
  SPLASH_COLOURS = 220,  // palette entries 16 .. 235
  SPLASH_X = 80          // page column of the picture's left edge
};

// Adds the findings on the splash picture; nothing when it is found nowhere (the missing
// file has its own finding).
void check_splash_bitmap(void);
