// The two 640 x 400 screen pages of 8-bit colour indices that every picture and text of the
// updater is drawn into. One page is drawn into and one is shown; a page is one block laid
// out as a bottom-up device-independent bitmap (header, colour table, pixels), so the window
// paints it as it lies. Portable: the window side is reached through display.h.
#pragma once
#include <cstdint>

enum {
  SCREEN_WIDTH = 640,
  SCREEN_HEIGHT = 400,
  SCREEN_BLOCK_COLUMNS = 80,  // copy_screen_block counts columns in units of 8 pixels
  SCREEN_HEADER_BYTES = 40,
  SCREEN_COLOUR_BYTES = 1024
};

struct ScreenPage {
  uint8_t header[SCREEN_HEADER_BYTES];   // BITMAPINFOHEADER: 640 x 400, 8 bits, bottom-up
  uint8_t colours[SCREEN_COLOUR_BYTES];  // 256 RGB records or 16-bit palette indices
  uint8_t pixels[SCREEN_WIDTH * SCREEN_HEIGHT];  // the top row on screen is the last row here
};

// Allocates pages 0 and 1 (once), with the palette's current colours, and puts the painter on
// the main window's message chain. Needs the palette tables set up.
void init_screen_pages(void);

// page < 0 asks for the current page; otherwise page & 1 is selected. Both return the page.
// Selecting another shown page repaints the window at once.
int select_draw_page(int page);
int select_shown_page(int page);

// A page block (page & 1), or the draw page's; null before init_screen_pages.
ScreenPage* screen_page(int page);
ScreenPage* draw_page_base(void);

// The address of pixel (x, y) of the draw page or of page `page` (page & 1); null outside
// 0 <= x < 640, 0 <= y < 400. The pixels of a row follow each other up to x = 639.
uint8_t* draw_page_pixel(int x, int y);
uint8_t* page_pixel(int x, int y, int page);

// Repaint requests for a rectangle of page coordinates: when the draw page is the shown page,
// and when `page` is the shown page number (compared as given, not masked).
void invalidate_draw_rect(int x, int y, int w, int h);
void invalidate_page_rect(int x, int y, int w, int h, int page);

// Fills a rectangle of the draw page with the low byte of `colour`, clipped to the page.
void fill_screen_rect(int x, int y, int w, int h, int colour);

// Copies a block of `cols` units of 8 pixels by `rows` rows between pages or within one page,
// clipped to the page; overlapping moves within a page give an exact shifted copy.
void copy_screen_block(int src_page, int src_col, int src_row, int cols, int rows,
                       int dst_page, int dst_col, int dst_row);

int screen_width(void);
int screen_height(void);
