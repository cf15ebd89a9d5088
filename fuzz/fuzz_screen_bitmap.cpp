// Fuzz target: the bitmap loader's drawing. The first 18 bytes are the placement (x, y),
// the colour offset and count (each a little-endian int32), the draw page and the colour
// both pages are painted with first; the rest is the bitmap from its header on. Beyond the
// sanitizers it checks that nothing is drawn left of or above a given placement, that the
// repainted rectangle stays on the pages, and that the settings are reset afterwards.
#include <cstdint>
#include <cstring>
#include "bitmap_loader.h"
#include "display_double.h"
#include "frame_double.h"
#include "palette_tables.h"
#include "screen_pages.h"
#include "fuzz_check.h"

namespace {

enum { SETTINGS_BYTES = 18 };

int32_t get_i32(const uint8_t* at) {
  return (int32_t)((uint32_t)at[0] | (uint32_t)at[1] << 8 | (uint32_t)at[2] << 16 |
                   (uint32_t)at[3] << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < SETTINGS_BYTES) return 0;
  static bool started = false;
  if (!started) {
    frame_double_reset();
    reset_palette_tables(UPDATER_PALETTE_ENTRIES);
    init_screen_pages();
    started = true;
  }
  display_double_reset();
  reset_palette_tables(UPDATER_PALETTE_ENTRIES);
  int x = get_i32(data), y = get_i32(data + 4);
  select_draw_page(data[16] & 1);
  select_shown_page(data[16] >> 1 & 1);
  uint8_t canvas = data[17];
  for (int page = 0; page < 2; ++page) memset(screen_page(page)->pixels, canvas, sizeof screen_page(page)->pixels);

  set_bitmap_colour_offset(get_i32(data + 8));
  set_bitmap_colour_count(get_i32(data + 12));
  // A copy of exactly the bitmap's bytes, so that any read past them is caught.
  size_t length = size - SETTINGS_BYTES;
  uint8_t* bitmap = new uint8_t[length ? length : 1];
  memcpy(bitmap, data + SETTINGS_BYTES, length);
  draw_screen_bitmap(bitmap, length, x, y);
  delete[] bitmap;

  int draw = select_draw_page(-1);
  if (x >= 0 && y >= 0) {
    // Rows above the picture untouched; left of it, the first x pixels of every row.
    static uint8_t blank[SCREEN_WIDTH];
    memset(blank, canvas, sizeof blank);
    size_t left = x < SCREEN_WIDTH ? (size_t)x : SCREEN_WIDTH;
    for (int row = 0; row < SCREEN_HEIGHT; ++row) {
      bool above_draw = row < y, above_other = (long long)row + SCREEN_HEIGHT < y;
      CHECK(memcmp(page_pixel(0, row, draw), blank, above_draw ? SCREEN_WIDTH : left) == 0);
      CHECK(memcmp(page_pixel(0, row, 1 - draw), blank, above_other ? SCREEN_WIDTH : left) == 0);
    }
  }
  const DisplayDouble* display = display_double();
  for (int i = 0; i < display->rect_count && i < DOUBLE_MAX_RECTS; ++i) {
    DoubleRect r = display->rects[i];
    CHECK(r.x >= 0 && r.w > 0 && (long long)r.x + r.w <= SCREEN_WIDTH);
    CHECK(r.y >= 0 && r.h > 0 && (long long)r.y + r.h <= 2 * SCREEN_HEIGHT);
  }

  // The settings are back at offset 0 and limit 255: index 230 is drawn as itself.
  static const uint8_t one_pixel[] = {40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 8, 0,
                                      0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                      1,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 230, 0, 0, 0};
  draw_screen_bitmap(one_pixel, sizeof one_pixel, 0, 0);
  CHECK(*page_pixel(0, 0, draw) == 230);
  return 0;
}
