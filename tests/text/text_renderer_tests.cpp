// The text renderer, read back from the screen pages: glyph cells sized by the font's metrics,
// opaque, transparent and shadowed text, the escapes of a string, the advance per size,
// clipping at the page edges, the font table and the renderer's release. Glyph shapes are the
// font engine's: expected pixels are built from glyph masks, never from drawn shapes.
#include <gtest/gtest.h>
#include <string.h>
#include <vector>
#include "display_double.h"
#include "frame.h"
#include "screen_pages.h"
#include "sjis.h"
#include "text_renderer.h"
#include "text_test_support.h"
#include "wide_text.h"

namespace {

const int NICHI = 0x93FA;  // 日 in Shift-JIS

// A cell of `width` x `height` with every byte ink, or (half) ink in its left half only.
GlyphCell solid_cell(int width, int height, bool half = false) {
  GlyphCell cell;
  memset(&cell, 0, sizeof cell);
  cell.width = width;
  cell.height = height;
  if (half)
    for (auto& row : cell.bits) memset(row + width / 2, 1, GLYPH_BITMAP_SIZE - width / 2);
  return cell;
}

class TextRenderer : public TextPages {};

TEST_F(TextRenderer, CellSizesComeFromTheFontMetrics) {
  ReferenceFont table(16, 0);
  ReferenceFont doubled(32, 17);
  // The renderer's font is the table's bold fixed-pitch Shift-JIS face.
  const TEXTMETRICW* tm = text_font_metrics();
  EXPECT_EQ(tm->tmHeight, table.metrics.tmHeight);
  EXPECT_EQ(tm->tmAveCharWidth, table.metrics.tmAveCharWidth);
  EXPECT_EQ(tm->tmMaxCharWidth, table.metrics.tmMaxCharWidth);
  EXPECT_EQ(tm->tmWeight, 700);

  auto at_least = [](LONG value, int minimum) { return value > minimum ? (int)value : minimum; };
  const TEXTMETRICW& t = table.metrics;
  const TEXTMETRICW& d = doubled.metrics;
  struct Case { int code, size, width, height; } cases[] = {
      {'A', 16, (int)t.tmAveCharWidth, at_least(t.tmHeight, 16)},
      {NICHI, 16, (int)t.tmMaxCharWidth, at_least(t.tmHeight, 16)},
      {'A', 20, (int)t.tmAveCharWidth, at_least(t.tmHeight, 20)},
      {'A', 17, (int)t.tmAveCharWidth, at_least(t.tmHeight, 16)},  // any other size is 16
      {'A', 32, (int)d.tmAveCharWidth, at_least(d.tmHeight, 32)},
      {NICHI, 32, (int)d.tmMaxCharWidth, at_least(d.tmHeight, 32)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << c.code << " size " << c.size);
    const GlyphCell* cell = glyph_for_size(c.code, c.size);
    EXPECT_EQ(cell->code, c.code);
    EXPECT_EQ(cell->width, c.width);
    EXPECT_EQ(cell->height, c.height);
    EXPECT_GT(ink_in_cell(*cell), 0);
  }
}

// Two characters over an opaque background: each cell holds only face (on the glyph's ink)
// and background, the second cell starts one column on and covers what the first drew beyond
// it, and nothing outside the cells changes.
TEST_F(TextRenderer, OpaqueCellsHoldOnlyFaceAndBackground) {
  draw_text_string("AB", 12, 282, 15, 0, 16);
  GlyphCell a = *glyph_for_size('A', 16), b = *glyph_for_size('B', 16);
  int w = a.width, h = a.height;
  ASSERT_EQ(b.width, w);
  std::vector<uint8_t> want = page_pixels(0);
  fill_rect(want, 96, 282, 8 + w, h, 0);
  paint_ink(want, a, 96, 282, 15);
  fill_rect(want, 104, 282, w, h, 0);
  paint_ink(want, b, 104, 282, 15);
  EXPECT_TRUE(same_pixels(want, 0));
  EXPECT_EQ(rects(), (std::vector<DoubleRect>{{96, 282, w, h}, {104, 282, w, h}}));
}

// Colour 271 is face 15 over shadow 0: the shadow one pixel right and below with the given
// background, then the face transparently.
TEST_F(TextRenderer, ShadowLiesOnePixelRightAndBelow) {
  for (int background : {-1, 3}) {
    SCOPED_TRACE(background);
    clear_pages();
    draw_text_string("AB", 12, 282, 271, background, 16);
    std::vector<uint8_t> want = page_pixels(1);  // page 1 is still plain paper
    std::vector<DoubleRect> want_rects;
    const char* text = "AB";
    for (int i = 0; i < 2; ++i) {
      GlyphCell cell = *glyph_for_size(text[i], 16);
      int x = 96 + 8 * i;
      if (background != -1) fill_rect(want, x + 1, 283, cell.width, cell.height, background);
      paint_ink(want, cell, x + 1, 283, 0);
      paint_ink(want, cell, x, 282, 15);
      want_rects.push_back({x + 1, 283, cell.width, cell.height});
      want_rects.push_back({x, 282, cell.width, cell.height});
    }
    EXPECT_TRUE(same_pixels(want, 0));
    EXPECT_EQ(rects(), want_rects);
  }
}

// What a string draws, compared with the glyphs drawn one by one into page 1.
TEST_F(TextRenderer, EscapesAndDoubleByteCharacters) {
  struct Draw { int code, column, y; };
  struct Case { const char* text; std::vector<Draw> draws; } cases[] = {
      {"A\\nB", {{'A', 5, 10}, {'B', 5, 30}}},
      {"AB\\NC", {{'A', 5, 10}, {'B', 6, 10}, {'C', 5, 30}}},
      {"A\\\\B", {{'A', 5, 10}, {'\\', 6, 10}, {'B', 7, 10}}},
      {"\\xA", {{'A', 5, 10}}},
      {"\\x\\n", {{'\\', 5, 10}, {'n', 6, 10}}},  // the byte after an escape is a character
      {"\\n\\n", {{'\\', 5, 30}, {'n', 6, 30}}},
      {"A\\", {{'A', 5, 10}}},                    // nothing to escape: the end
      {"\\x", {}},
      {"A\x82", {{'A', 5, 10}}},                  // lead byte before the terminator
      {"ソA", {{0x835C, 5, 10}, {'A', 7, 10}}},   // trail byte 0x5C is no escape
      {"\\n日", {{NICHI, 5, 30}}},
      {"ｱ日\\nA", {{0xB1, 5, 10}, {NICHI, 6, 10}, {'A', 5, 30}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    clear_pages();
    draw_text_string(c.text, 5, 10, 15, 0, 16);
    select_draw_page(1);
    for (const Draw& d : c.draws) draw_glyph(glyph_for_size(d.code, 16), d.column, d.y, 15, 0);
    select_draw_page(0);
    EXPECT_TRUE(same_pixels(page_pixels(1), 0));
    ASSERT_EQ(display_double()->rect_count, (int)c.draws.size());
    for (size_t i = 0; i < c.draws.size(); ++i) {
      EXPECT_EQ(rects()[i].x, c.draws[i].column * 8);
      EXPECT_EQ(rects()[i].y, c.draws[i].y);
    }
  }
}

TEST_F(TextRenderer, AdvanceIsOneOrTwoUnitsOfTheSize) {
  struct Case { const char* text; int size, second_x; } cases[] = {
      {"AB", 16, 8}, {"日A", 16, 16}, {"AB", 20, 8}, {"日A", 20, 16},
      {"AB", 32, 16}, {"日A", 32, 32}, {"A\\nB", 32, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " size " << c.size);
    display_double_reset();
    draw_text_string(c.text, 0, 100, 15, 0, c.size);
    ASSERT_EQ(display_double()->rect_count, 2);
    EXPECT_EQ(rects()[1].x, c.second_x);
    EXPECT_EQ(rects()[1].y, c.second_x ? 100 : 120);  // a line is 20 pixels at any size
  }
}

// Cells that reach past an edge draw only their part inside the page and never spill into the
// next row; the repaint request is the whole cell. Cells larger than the glyph bitmap are cut.
TEST_F(TextRenderer, GlyphsAreClippedToThePage) {
  struct Case { int column, y, width, height, left, top, right, bottom; } cases[] = {
      {79, 100, 16, 16, 632, 100, 640, 116},
      {-1, 100, 16, 16, 0, 100, 8, 116},
      {10, 390, 8, 16, 80, 390, 88, 400},
      {10, -5, 8, 16, 80, 0, 88, 11},
      {80, 0, 8, 16, 0, 0, 0, 0},
      {10, 400, 8, 16, 0, 0, 0, 0},
      {0, 0, 1000, 1000, 0, 0, 64, 64},
      {0, 0, -5, 16, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "column " << c.column << " y " << c.y);
    clear_pages();
    GlyphCell cell = solid_cell(c.width, c.height);
    draw_glyph(&cell, c.column, c.y, 9, 0);
    std::vector<uint8_t> want = page_pixels(1);
    fill_rect(want, c.left, c.top, c.right - c.left, c.bottom - c.top, 9);
    EXPECT_TRUE(same_pixels(want, 0));
    int w = c.width < 0 ? 0 : c.width > 64 ? 64 : c.width;
    int h = c.height > 64 ? 64 : c.height;
    EXPECT_EQ(rects(), (std::vector<DoubleRect>{{c.column * 8, c.y, w, h}}));
  }
}

TEST_F(TextRenderer, OnlyTheLowBytesOfColoursAreWritten) {
  GlyphCell cell = solid_cell(8, 4, true);  // ink in columns 0..3, paper in 4..7
  draw_glyph(&cell, 1, 0, -2, 0x105);
  EXPECT_EQ(pixel(8, 0), 0xFE);
  EXPECT_EQ(pixel(12, 3), 0x05);
  draw_glyph(&cell, 1, 0, 0x20A, -1);  // transparent: paper pixels stay
  EXPECT_EQ(pixel(8, 0), 0x0A);
  EXPECT_EQ(pixel(12, 3), 0x05);
}

TEST_F(TextRenderer, DoubleSizeLeavesTheTableFontSelected) {
  GlyphCell before = *glyph_for_size('A', 16);
  ReferenceFont doubled(32, 17);
  GlyphCell big = *glyph_for_size(NICHI, 32);
  GlyphCell want;
  doubled.rasterise(L'日', &want);
  EXPECT_EQ(memcmp(big.bits, want.bits, sizeof big.bits), 0) << "not the double-height font";

  EXPECT_EQ(text_font_index(), 0);
  EXPECT_EQ(text_font_description()->lfHeight, 16);
  EXPECT_EQ(text_font_description()->lfWidth, 0);
  GlyphCell after = *glyph_for_size('A', 16);
  EXPECT_EQ(after.width, before.width);
  EXPECT_EQ(after.height, before.height);
  EXPECT_EQ(memcmp(after.bits, before.bits, sizeof after.bits), 0);
}

TEST_F(TextRenderer, FontTableEntries) {
  struct Case { int height; const wchar_t* face; } table[] = {
      {16, L"ＭＳ ゴシック"}, {16, L"ＭＳ 明朝"}, {18, L"Terminal"}, {18, L"System"}, {18, L""}};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(select_text_font(i), i);
    const LOGFONTA* font = text_font_description();
    EXPECT_EQ(font->lfHeight, table[i].height);
    EXPECT_EQ(font->lfWeight, 700);
    EXPECT_EQ(font->lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(font->lfPitchAndFamily, FIXED_PITCH);
    wchar_t face[LF_FACESIZE];
    ASSERT_GE(cp932_to_wide(font->lfFaceName, face, LF_FACESIZE, WIDE_NAME), 0);
    EXPECT_STREQ(face, table[i].face);
    EXPECT_GT(text_font_metrics()->tmHeight, 0);
  }
  for (int outside : {-1, 5, 1000}) EXPECT_EQ(select_text_font(outside), -1);
  EXPECT_EQ(text_font_index(), 4);
  EXPECT_EQ(text_font_description()->lfHeight, 18);
}

TEST_F(TextRenderer, DrawTextNowDrawsAtSize16) {
  draw_text_now(5, 10, 271, -1, "A日\\nB");
  select_draw_page(1);
  draw_text_string("A日\\nB", 5, 10, 271, -1, 16);
  select_draw_page(0);
  EXPECT_TRUE(same_pixels(page_pixels(1), 0));
  EXPECT_EQ(display_double()->rect_count, 6);
}

TEST_F(TextRenderer, ReleaseIsHarmlessTwiceAndRunsFromTheShutdownChain) {
  ASSERT_TRUE(text_renderer_ready());
  release_text_renderer();
  release_text_renderer();
  EXPECT_FALSE(text_renderer_ready());
  const GlyphCell* cell = glyph_for_size('A', 16);  // no context: an empty cell, no drawing
  EXPECT_EQ(cell->width, 0);
  EXPECT_EQ(cell->height, 0);
  draw_text_string("AB", 0, 0, 15, 0, 16);
  EXPECT_TRUE(same_pixels(page_pixels(1), 0));

  init_text_renderer();
  ASSERT_TRUE(text_renderer_ready());
  run_system_end();
  EXPECT_FALSE(text_renderer_ready());
  init_text_renderer();
  EXPECT_EQ(glyph_for_size('A', 16)->width, text_font_metrics()->tmAveCharWidth);
}

// The title is drawn from the Shift-JIS bytes whatever the ANSI code page is: every glyph and
// the drawn page equal what the font gives for the wide characters themselves. This also runs
// with code page 1252.
class TextCodePage : public TextPages {};

TEST_F(TextCodePage, TitleGlyphsAreTheWideCharacters) {
  const char* title = "ソフトウェア更新 ｱｯﾌﾟﾃﾞｰﾄ";
  const wchar_t* wide = L"ソフトウェア更新 ｱｯﾌﾟﾃﾞｰﾄ";
  ReferenceFont font(16, 0);
  const TEXTMETRICW& tm = font.metrics;
  int height = tm.tmHeight > 16 ? (int)tm.tmHeight : 16;

  std::vector<uint8_t> want = page_pixels(1);
  const unsigned char* p = (const unsigned char*)title;
  int column = 12;
  for (const wchar_t* w = wide; *w; ++w) {
    bool two = is_sjis_lead_byte(p[0]);
    int code = two ? p[0] * 256 + p[1] : p[0];
    p += two ? 2 : 1;
    SCOPED_TRACE(code);
    GlyphCell reference;
    font.rasterise(*w, &reference);
    reference.width = two ? tm.tmMaxCharWidth : tm.tmAveCharWidth;
    reference.height = height;
    const GlyphCell* cell = glyph_for_size(code, 16);
    EXPECT_EQ(cell->width, reference.width);
    EXPECT_EQ(memcmp(cell->bits, reference.bits, sizeof reference.bits), 0);
    if (*w != L' ') {
      EXPECT_GT(ink_in_cell(reference), 0);
    }
    paint_ink(want, reference, column * 8 + 1, 283, 0);
    paint_ink(want, reference, column * 8, 282, 15);
    column += two ? 2 : 1;
  }
  EXPECT_EQ(*p, 0);
  draw_text_string(title, 12, 282, 271, -1, 16);
  EXPECT_TRUE(same_pixels(want, 0));
}

// The face names reach the font engine intact: the second table font is the Mincho face, not
// whatever face the engine picks for a name it does not know.
TEST_F(TextCodePage, SecondTableFontIsTheMinchoFace) {
  ReferenceFont mincho(16, 0, L"ＭＳ 明朝");
  ReferenceFont gothic(16, 0);
  GlyphCell want, other;
  mincho.rasterise(L'日', &want);
  gothic.rasterise(L'日', &other);
  ASSERT_NE(memcmp(want.bits, other.bits, sizeof want.bits), 0) << "the two faces look alike";
  select_text_font(1);
  const GlyphCell* cell = glyph_for_size(NICHI, 16);
  EXPECT_EQ(memcmp(cell->bits, want.bits, sizeof want.bits), 0);
}

}  // namespace
