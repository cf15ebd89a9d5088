// The screen pages: allocation, page selection, pixel addressing, fill and block copy.
#include "screen_pages.h"
#include <cstring>
#include "display.h"
#include "frame.h"
#include "palette_tables.h"

static struct {
  ScreenPage* pages[2];
  int draw_page;
  int shown_page;
} g_screen;

static void put_u32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = (uint8_t)(value >> (8 * i));
}

// A BITMAPINFOHEADER for a 640 x 400 bottom-up picture of 8-bit indices; fields left zero
// are compression, image size, resolution and colour counts.
static void write_page_header(uint8_t* header) {
  put_u32(header + 0, SCREEN_HEADER_BYTES);
  put_u32(header + 4, SCREEN_WIDTH);
  put_u32(header + 8, SCREEN_HEIGHT);
  header[12] = 1;   // planes
  header[14] = 8;   // bits per pixel
}

void init_screen_pages(void) {
  if (g_screen.pages[0]) return;
  int mode = check_display();
  for (int i = 0; i < 2; ++i) {
    ScreenPage* page = (ScreenPage*)mem_alloc(sizeof(ScreenPage));
    memset(page, 0, sizeof *page);
    write_page_header(page->header);
    copy_page_colours(page->colours, mode);
    g_screen.pages[i] = page;
  }
  register_screen_paint();
}

int select_draw_page(int page) {
  if (page >= 0) g_screen.draw_page = page & 1;
  return g_screen.draw_page;
}

int select_shown_page(int page) {
  if (page < 0) return g_screen.shown_page;
  int previous = g_screen.shown_page;
  g_screen.shown_page = page & 1;
  if (g_screen.shown_page != previous) repaint_screen();
  return g_screen.shown_page;
}

ScreenPage* screen_page(int page) { return g_screen.pages[page & 1]; }
ScreenPage* draw_page_base(void) { return g_screen.pages[g_screen.draw_page]; }

uint8_t* page_pixel(int x, int y, int page) {
  ScreenPage* block = g_screen.pages[page & 1];
  if (!block || x < 0 || x >= SCREEN_WIDTH || y < 0 || y >= SCREEN_HEIGHT) return nullptr;
  return block->pixels + (SCREEN_HEIGHT - 1 - y) * SCREEN_WIDTH + x;
}

uint8_t* draw_page_pixel(int x, int y) { return page_pixel(x, y, g_screen.draw_page); }

void invalidate_draw_rect(int x, int y, int w, int h) {
  if (g_screen.draw_page == g_screen.shown_page) invalidate_screen_rect(x, y, w, h);
}

void invalidate_page_rect(int x, int y, int w, int h, int page) {
  if (page == g_screen.shown_page) invalidate_screen_rect(x, y, w, h);
}

// Clipping is worked in 64 bits so that no coordinate, however large, overflows.
void fill_screen_rect(int x, int y, int w, int h, int colour) {
  if (!g_screen.pages[0]) return;
  long long left = x, width = w;
  if (left < 0) {
    width += left;
    left = 0;
  }
  if (left + width > SCREEN_WIDTH) width = SCREEN_WIDTH - left;
  if (width <= 0 || h <= 0) return;
  // Only the rows inside the page are visited, however large h is.
  long long first = y < 0 ? 0 : y;
  long long end = (long long)y + h;
  if (end > SCREEN_HEIGHT) end = SCREEN_HEIGHT;
  for (long long row = first; row < end; ++row)
    memset(draw_page_pixel((int)left, (int)row), colour & 0xFF, (size_t)width);
  invalidate_draw_rect((int)left, y, (int)width, h);
}

void copy_screen_block(int src_page, int src_col, int src_row, int cols, int rows,
                       int dst_page, int dst_col, int dst_row) {
  if (!g_screen.pages[0]) return;
  long long from_col = src_col, to_col = dst_col, count = cols;
  if (from_col < 0) {
    count += from_col;
    to_col -= from_col;
    from_col = 0;
  }
  if (to_col < 0) {
    count += to_col;
    from_col -= to_col;
    to_col = 0;
  }
  if (from_col + count > SCREEN_BLOCK_COLUMNS) count = SCREEN_BLOCK_COLUMNS - from_col;
  if (to_col + count > SCREEN_BLOCK_COLUMNS) count = SCREEN_BLOCK_COLUMNS - to_col;
  if (count <= 0) return;
  // Row pairs with either row outside the page are skipped, so only pairs k in
  // [first, end) are visited.
  long long first = 0, end = rows;
  if (-(long long)src_row > first) first = -(long long)src_row;
  if (-(long long)dst_row > first) first = -(long long)dst_row;
  if (SCREEN_HEIGHT - (long long)src_row < end) end = SCREEN_HEIGHT - (long long)src_row;
  if (SCREEN_HEIGHT - (long long)dst_row < end) end = SCREEN_HEIGHT - (long long)dst_row;
  size_t bytes = (size_t)count * 8;
  int from_x = (int)from_col * 8, to_x = (int)to_col * 8;
  // A move downwards within a page starts from the last row, a move upwards from the first,
  // so that a block moved over itself comes out as an exact shifted copy.
  for (long long i = first; i < end; ++i) {
    long long k = src_row > dst_row ? i : first + end - 1 - i;
    memmove(page_pixel(to_x, (int)(dst_row + k), dst_page),
            page_pixel(from_x, (int)(src_row + k), src_page), bytes);
  }
  invalidate_page_rect(to_x, dst_row, (int)count * 8, rows, dst_page);
}

int screen_width(void) { return SCREEN_WIDTH; }
int screen_height(void) { return SCREEN_HEIGHT; }
