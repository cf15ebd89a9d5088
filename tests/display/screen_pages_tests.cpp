// The screen pages and the palette tables without a window: addressing, fill and block copy
// with their clipping, the repaint requests they make, and the colour tables.
#include <gtest/gtest.h>
#include <cstring>
#include "display_double.h"
#include "frame_double.h"
#include "palette_tables.h"
#include "screen_pages.h"

namespace {

class Pages : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_double_reset();
    display_double_reset();
    reset_palette_tables(UPDATER_PALETTE_ENTRIES);
    init_screen_pages();
    for (int page = 0; page < 2; ++page) memset(screen_page(page)->pixels, 0, SCREEN_WIDTH * SCREEN_HEIGHT);
    select_draw_page(0);
    select_shown_page(0);
    display_double_reset();
  }
  // Gives every pixel of `page` a value from its position, so moved blocks can be told apart.
  static void pattern(int page) {
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
      for (int x = 0; x < SCREEN_WIDTH; ++x) *page_pixel(x, y, page) = (uint8_t)(x * 7 + y * 13);
  }
  static int value(int x, int y) { return (uint8_t)(x * 7 + y * 13); }
  static void expect_rect(int x, int y, int w, int h) {
    ASSERT_EQ(1, display_double()->rect_count);
    const DoubleRect& r = display_double()->rects[0];
    EXPECT_EQ(x, r.x);
    EXPECT_EQ(y, r.y);
    EXPECT_EQ(w, r.w);
    EXPECT_EQ(h, r.h);
  }
};

TEST_F(Pages, BlockIsABottomUpBitmapWithThePaletteColours) {
  ScreenPage* page = screen_page(0);
  static const uint8_t header[40] = {40, 0, 0, 0, 0x80, 2, 0, 0, 0x90, 1, 0, 0, 1, 0, 8};
  EXPECT_EQ(0, memcmp(header, page->header, sizeof header));
  EXPECT_EQ(257064u, sizeof(ScreenPage));
  EXPECT_EQ(page->pixels, draw_page_pixel(0, 399));
  EXPECT_EQ(page->pixels + 399 * 640, draw_page_pixel(0, 0));
  EXPECT_EQ(page->pixels + 399 * 640 + 639, draw_page_pixel(639, 0));
  EXPECT_EQ(nullptr, draw_page_pixel(640, 0));
  EXPECT_EQ(nullptr, draw_page_pixel(0, -1));
  EXPECT_EQ(nullptr, draw_page_pixel(-1, 0));
  EXPECT_EQ(nullptr, draw_page_pixel(0, 400));
  EXPECT_EQ(screen_page(1)->pixels + 399 * 640, page_pixel(0, 0, -1));
  EXPECT_EQ(screen_page(0)->pixels + 399 * 640, page_pixel(0, 0, 2));
  int allocations = frame_double()->allocations;
  init_screen_pages();  // made once per process
  EXPECT_EQ(allocations, frame_double()->allocations);
}

TEST_F(Pages, PageSelectionMasksAndRepaintsOnlyOnAChange) {
  EXPECT_EQ(1, select_draw_page(3));
  EXPECT_EQ(1, select_draw_page(-1));
  EXPECT_EQ(screen_page(1), draw_page_base());
  EXPECT_EQ(0, select_draw_page(2));
  EXPECT_EQ(0, select_shown_page(0));
  EXPECT_EQ(0, display_double()->repaints);
  EXPECT_EQ(1, select_shown_page(3));
  EXPECT_EQ(1, display_double()->repaints);
  EXPECT_EQ(1, select_shown_page(-1));
  EXPECT_EQ(1, display_double()->repaints);
}

TEST_F(Pages, FillClipsColumnsSkipsRowsAndRequestsTheUnclippedRows) {
  fill_screen_rect(-10, 0, 20, 1, 0x105);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(x < 10 ? 5 : 0, *draw_page_pixel(x, 0)) << x;
  expect_rect(0, 0, 10, 1);

  display_double_reset();
  fill_screen_rect(0, 390, 640, 20, 1);
  EXPECT_EQ(0, *draw_page_pixel(639, 389));
  EXPECT_EQ(1, *draw_page_pixel(0, 390));
  EXPECT_EQ(1, *draw_page_pixel(639, 399));
  expect_rect(0, 390, 640, 20);

  display_double_reset();
  fill_screen_rect(630, -5, 100, 10, 2);
  EXPECT_EQ(2, *draw_page_pixel(639, 4));
  EXPECT_EQ(0, *draw_page_pixel(629, 4));
  EXPECT_EQ(0, *draw_page_pixel(630, 5));
  expect_rect(630, -5, 10, 10);
}

TEST_F(Pages, EmptyOrFarAwayFillsDrawAndRequestNothing) {
  struct Case { int x, y, w, h; } cases[] = {
      {0, 0, 0, 5},       {0, 0, 5, 0},          {-20, 0, 20, 5},           {640, 0, 5, 5},
      {0, 0, 5, -1},      {-2147483647 - 1, 0, 10, 10}, {2147483647, 0, 2147483647, 1},
  };
  for (const Case& c : cases) fill_screen_rect(c.x, c.y, c.w, c.h, 9);
  EXPECT_EQ(0, display_double()->rect_count);
  // Rows far outside the page are skipped without visiting them.
  fill_screen_rect(0, -2147483647 - 1, 640, 2147483647, 9);
  fill_screen_rect(0, 2147483647, 640, 2147483647, 9);
  for (int y = 0; y < SCREEN_HEIGHT; ++y) ASSERT_EQ(0, *draw_page_pixel(0, y));
}

TEST_F(Pages, FillOnTheHiddenPageRequestsNoRepaint) {
  select_draw_page(1);
  fill_screen_rect(0, 280, 640, 120, 3);
  EXPECT_EQ(3, *page_pixel(0, 280, 1));
  EXPECT_EQ(0, *page_pixel(0, 280, 0));
  EXPECT_EQ(0, display_double()->rect_count);
}

TEST_F(Pages, WholePageCopyAndColumnClipping) {
  pattern(0);
  copy_screen_block(0, 0, 0, 80, 400, 1, 0, 0);
  EXPECT_EQ(0, memcmp(screen_page(0)->pixels, screen_page(1)->pixels, SCREEN_WIDTH * SCREEN_HEIGHT));
  EXPECT_EQ(0, display_double()->rect_count);  // page 1 is not shown

  memset(screen_page(1)->pixels, 0, SCREEN_WIDTH * SCREEN_HEIGHT);
  copy_screen_block(0, -2, 5, 5, 1, 1, 10, 7);  // 3 units from column 0 to column 12
  for (int x = 88; x < 128; ++x)
    EXPECT_EQ(x >= 96 && x < 120 ? value(x - 96, 5) : 0, *page_pixel(x, 7, 1)) << x;

  copy_screen_block(0, 78, 0, 5, 1, 0, 0, 0);  // cut to the 2 units left of the source
  EXPECT_EQ(value(624, 0), *page_pixel(0, 0, 0));
  EXPECT_EQ(value(639, 0), *page_pixel(15, 0, 0));
  EXPECT_EQ(value(16, 0), *page_pixel(16, 0, 0));
  ASSERT_EQ(1, display_double()->rect_count);
  EXPECT_EQ(16, display_double()->rects[0].w);
}

TEST_F(Pages, OverlappingMovesWithinAPageGiveExactShiftedCopies) {
  struct Case { int src_col, src_row, dst_col, dst_row; } cases[] = {
      {0, 10, 0, 11}, {0, 11, 0, 10}, {2, 50, 3, 50}, {3, 50, 2, 50}, {1, 20, 2, 25}, {4, 25, 1, 20},
  };
  for (const Case& c : cases) {
    pattern(0);
    copy_screen_block(0, c.src_col, c.src_row, 10, 100, 0, c.dst_col, c.dst_row);
    for (int k = 0; k < 100; ++k)
      for (int i = 0; i < 80; ++i)
        ASSERT_EQ(value(c.src_col * 8 + i, c.src_row + k),
                  *page_pixel(c.dst_col * 8 + i, c.dst_row + k, 0))
            << c.src_row << "->" << c.dst_row << " row " << k << " x " << i;
  }
}

TEST_F(Pages, CopyRequestsRepaintOnlyForTheShownPageNumberAsGiven) {
  pattern(0);
  copy_screen_block(0, 0, 0, 1, 1, 3, 0, 0);  // writes page 1; 3 is never the shown number
  EXPECT_EQ(value(0, 0), *page_pixel(0, 0, 1));
  EXPECT_EQ(0, display_double()->rect_count);
  copy_screen_block(0, 0, 395, 2, 10, 0, 1, 398);  // rows past 399 are skipped
  EXPECT_EQ(value(0, 395), *page_pixel(8, 398, 0));
  EXPECT_EQ(value(0, 396), *page_pixel(8, 399, 0));
  expect_rect(8, 398, 16, 10);
  display_double_reset();
  copy_screen_block(0, 0, -2147483647 - 1, 80, 2147483647, 0, 0, 2147483647);
  copy_screen_block(0, -2147483647 - 1, 0, 2147483647, 1, 0, 2147483647, 0);
  EXPECT_EQ(1, display_double()->rect_count);  // the first is a request with nothing copied
}

TEST(Palette, InitialTablesEntriesAndLevels) {
  display_double_reset();
  reset_palette_tables(UPDATER_PALETTE_ENTRIES);
  PaletteTables* tables = palette_tables();
  EXPECT_EQ(0x300, tables->logical.version);
  EXPECT_EQ(236, tables->logical.count);
  EXPECT_EQ(255, tables->logical.entries[255].red);
  EXPECT_EQ(0x05, tables->logical.entries[0].flags);
  EXPECT_EQ(0, tables->rgb[17].red);
  EXPECT_EQ(200, tables->index[200]);

  set_palette_entry(16, 10, 20, 30);
  const PaletteEntry& e = tables->logical.entries[16];
  EXPECT_EQ(20, e.red);
  EXPECT_EQ(10, e.green);
  EXPECT_EQ(30, e.blue);
  EXPECT_EQ(0x01, e.flags);
  EXPECT_EQ(0, tables->rgb[16].red);  // not applied yet
  set_palette_entry(256, 1, 1, 1);     // outside the tables: ignored
  set_palette_entry(-1, 1, 1, 1);

  set_palette_levels(15, 15, 15, 15);
  set_palette_levels(0, 0, 0, 0);
  set_palette_levels(1, 1, 2, 3);
  EXPECT_EQ(3, display_double()->palette_applies);
  EXPECT_EQ(255, tables->rgb[15].red);
  EXPECT_EQ(255, tables->rgb[15].blue);
  EXPECT_EQ(0, tables->rgb[0].green);
  EXPECT_EQ(0x22, tables->rgb[1].red);
  EXPECT_EQ(0x11, tables->rgb[1].green);
  EXPECT_EQ(0x33, tables->rgb[1].blue);
  EXPECT_EQ(20, tables->rgb[16].red);
  EXPECT_EQ(0, tables->rgb[236].red);  // beyond the entries in use
}

TEST(Palette, MergeCountsDifferingComponentsAndPageColoursFollowTheMode) {
  reset_palette_tables(UPDATER_PALETTE_ENTRIES);
  EXPECT_EQ(236 * 3, merge_changed_entries());  // all white against a black RGB table
  EXPECT_EQ(0, merge_changed_entries());
  set_palette_entry(5, 255, 0, 255);
  EXPECT_EQ(1, merge_changed_entries());

  uint8_t table[SCREEN_COLOUR_BYTES] = {};
  copy_page_colours(table, DISPLAY_PALETTE);
  EXPECT_EQ(235, table[470]);  // 16-bit indices 0..235
  EXPECT_EQ(0, table[472]);
  memset(table, 0, sizeof table);
  copy_page_colours(table, DISPLAY_DIRECT);
  EXPECT_EQ(255, table[235 * 4]);
  EXPECT_EQ(0, table[236 * 4]);
  EXPECT_EQ(0, table[5 * 4 + 2]);  // entry 5's red
}

}  // namespace
