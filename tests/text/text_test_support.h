// What the text renderer tests share: the pages set up with plain paper, page images to build
// expected pixels in, a reference font made directly from wide characters, and the repaint
// requests the display double recorded.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdint>
#include <ostream>
#include <vector>
#include "display_double.h"
#include "text_renderer.h"

enum { PAPER = 7 };  // what both pages hold before a test draws

// Pages 0 and 1 exist and hold PAPER; page 0 is drawn into and shown; the renderer is set up
// with font 0 and the display double has no requests.
class TextPages : public ::testing::Test {
 protected:
  void SetUp() override;
};

// Both pages back to PAPER, page 0 drawn into, no repaint requests.
void clear_pages(void);

// A page image: the pixel bytes of a page as they lie in memory.
std::vector<uint8_t> page_pixels(int page);
uint8_t pixel(int x, int y);  // of page 0
// Sets the image's pixels of a rectangle clipped to the page.
void fill_rect(std::vector<uint8_t>& image, int x, int y, int w, int h, uint8_t colour);
// Sets `colour` where the cell has ink (within its width and height), clipped to the page.
void paint_ink(std::vector<uint8_t>& image, const GlyphCell& cell, int x, int y,
               uint8_t colour);
// Page 0 equals `image`; else where they first differ and how many pixels do.
::testing::AssertionResult same_pixels(const std::vector<uint8_t>& image, int page = 0);

// The ink bytes inside the cell's width and height.
int ink_in_cell(const GlyphCell& cell);

// The repaint requests kept by the display double.
std::vector<DoubleRect> rects(void);
bool operator==(const DoubleRect& a, const DoubleRect& b);
std::ostream& operator<<(std::ostream& out, const DoubleRect& r);

// A font of the table (bold, Shift-JIS, fixed pitch; "ＭＳ ゴシック" unless another face is
// given) at `height` and `width`, made and used only through the wide functions, with a
// 64 x 64 top-down glyph bitmap.
class ReferenceFont {
 public:
  ReferenceFont(int height, int width, const wchar_t* face = L"ＭＳ ゴシック");
  ~ReferenceFont();
  // Draws the character at (0, 0) and copies the bitmap into the cell's rows (row 0 the top);
  // width, height and code are left 0.
  void rasterise(wchar_t character, GlyphCell* cell);
  TEXTMETRICW metrics;

 private:
  HDC dc_;
  HFONT font_;
  HBITMAP bitmap_;
  HGDIOBJ old_font_, old_bitmap_;
  uint8_t* bits_;
};
