// The palette on a palette-based display (an 8-bit screen): the palette object, its
// animation by apply_palette, the page painted through it and its release. Skipped on a
// direct-colour display. Colours are read back only where they are primaries, since the
// window shows a palette display's colours through a colour table of its own.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include "frame.h"
#include "palette.h"
#include "screen_fixture.h"
#include "screen_window.h"
#include "test_window.h"

// These tests need a palette display; elsewhere they skip, unless KIT_PALETTE_DISPLAY is set
// (the test run that starts them on an 8-bit screen), where its absence is a failure.
#define SKIP_WITHOUT_PALETTE_DISPLAY()                                  \
  do {                                                                  \
    if (getenv("KIT_PALETTE_DISPLAY")) FAIL() << "no palette display"; \
    GTEST_SKIP() << "needs a palette display";                          \
  } while (0)

class PaletteDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    test_main_window();
    if (check_display() != DISPLAY_PALETTE) SKIP_WITHOUT_PALETTE_DISPLAY();
    hwnd = shown_main_window();
    palette = palette_object();
    ASSERT_NE(palette, nullptr);
  }
  uint32_t object_entry(int index) {
    PALETTEENTRY entry = {};
    GetPaletteEntries(palette, index, 1, &entry);
    return (uint32_t)entry.peRed << 16 | entry.peGreen << 8 | entry.peBlue;
  }
  HWND hwnd = nullptr;
  HPALETTE palette = nullptr;
};

TEST_F(PaletteDisplay, InitCreatesAPaletteOfTheReservedEntries) {
  EXPECT_EQ(init_palette(UPDATER_PALETTE_ENTRIES), 0);
  WORD count = 0;
  ASSERT_EQ(GetObjectW(palette, sizeof count, &count), (int)sizeof count);
  EXPECT_EQ(count, UPDATER_PALETTE_ENTRIES);
  PALETTEENTRY last = {};
  ASSERT_EQ(GetPaletteEntries(palette, UPDATER_PALETTE_ENTRIES - 1, 1, &last), 1u);
  EXPECT_EQ(last.peRed & last.peGreen & last.peBlue, 255);
  EXPECT_EQ(last.peFlags, PC_RESERVED | PC_NOCOLLAPSE);
}

// The palette object is animated only when an entry differs from the colours last handed
// over, and then over all entries in use.
TEST_F(PaletteDisplay, ApplyAnimatesOnlyWhenEntriesChanged) {
  set_palette_entry(16, 0x34, 0x12, 0x56);
  apply_palette();
  EXPECT_EQ(object_entry(16), 0x123456u);
  EXPECT_EQ(rgb_entry(16), 0x123456u);

  PALETTEENTRY elsewhere = {0x99, 0x88, 0x77, PC_RESERVED};
  ASSERT_TRUE(AnimatePalette(palette, 16, 1, &elsewhere));
  apply_palette();
  EXPECT_EQ(object_entry(16), 0x998877u);

  set_palette_entry(17, 1, 2, 3);
  apply_palette();
  EXPECT_EQ(object_entry(17), 0x020103u);
  EXPECT_EQ(object_entry(16), 0x123456u);
}

TEST_F(PaletteDisplay, RealizingAgainRemapsNothing) {
  SendMessageW(hwnd, WM_QUERYNEWPALETTE, 0, 0);
  ValidateRect(hwnd, nullptr);
  EXPECT_EQ(SendMessageW(hwnd, WM_QUERYNEWPALETTE, 0, 0), 0);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
}

// The page's colour table holds palette indices and a pixel value v shows entry v; values
// beyond the entries in use show entry 0.
TEST_F(PaletteDisplay, PaintShowsThePageThroughThePalette) {
  const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000};
  for (int i = 0; i < 5; i++)
    set_palette_entry(16 + i, colours[i] >> 8 & 255, colours[i] >> 16, colours[i] & 255);
  set_palette_entry(0, 0, 0, 255);
  apply_palette();
  for (int i = 0; i < 6; i++) fill_screen_rect(80 + i * 16, 0, 16, 16, i < 5 ? 16 + i : 240);
  UpdateWindow(hwnd);

  const uint16_t* table = (const uint16_t*)screen_page(0)->colours;
  for (int i = 0; i < 256; i++) ASSERT_EQ(table[i], i < UPDATER_PALETTE_ENTRIES ? i : 0) << i;
  ClientPixels shown = capture_client(hwnd);
  for (int i = 0; i < 5; i++) EXPECT_EQ(shown.at(i * 16 + 8, 8), colours[i]) << "entry " << 16 + i;
  EXPECT_EQ(shown.at(5 * 16 + 8, 8), 0x0000FFu) << "a value beyond the entries in use";
}

// In a fresh process (a death-test child): the first realization remaps the entries, so the
// window is repainted with erasing and the message's result is 1. The release puts back what
// a paint selection replaced, deletes the object and leaves the shutdown chain;
// apply_palette then copies the entries into the RGB table.
static void release_in_fresh_process(void) {
  HWND hwnd = test_main_window();
  int result = init_palette(UPDATER_PALETTE_ENTRIES);
  HPALETTE palette = palette_object();
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);  // not painted yet, so the palette is not realized yet
  ValidateRect(hwnd, nullptr);
  int first = (int)SendMessageW(hwnd, WM_QUERYNEWPALETTE, 0, 0);
  RECT update;
  fprintf(stderr, "[first:%d][pending:%d]", first, (int)GetUpdateRect(hwnd, &update, FALSE));
  HDC dc = GetDC(hwnd);
  HGDIOBJ before = GetCurrentObject(dc, OBJ_PAL);
  select_paint_palette(dc);
  release_palette();
  int restored = GetCurrentObject(dc, OBJ_PAL) == before;
  ReleaseDC(hwnd, dc);
  set_palette_entry(20, 2, 1, 3);
  apply_palette();
  fprintf(stderr, "[init:%d][object:%d][deleted:%d][restored:%d][rgb:%06X]", result,
          palette_object() != nullptr, GetObjectType(palette) == 0, restored,
          (unsigned)rgb_entry(20));
  exit(0);
}

TEST(PaletteLifetime, FirstRealizeRepaintsAndReleaseDeletes) {
  test_main_window();
  if (check_display() != DISPLAY_PALETTE) SKIP_WITHOUT_PALETTE_DISPLAY();
  EXPECT_EXIT(release_in_fresh_process(), ::testing::ExitedWithCode(0),
              "^\\[first:1\\]\\[pending:1\\]\\[init:0\\]\\[object:0\\]\\[deleted:1\\]"
              "\\[restored:1\\]\\[rgb:010203\\]$");
}
