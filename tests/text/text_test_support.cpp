// The text renderer tests' pages, page images, reference font and repaint requests.
#include "text_test_support.h"
#include <string.h>
#include "palette_tables.h"
#include "screen_pages.h"
#include "test_window.h"

void TextPages::SetUp() {
  test_main_window();
  reset_palette_tables(UPDATER_PALETTE_ENTRIES);
  init_screen_pages();
  init_text_renderer();
  select_text_font(0);
  select_shown_page(0);
  clear_pages();
}

void clear_pages(void) {
  for (int page : {1, 0}) {
    select_draw_page(page);
    fill_screen_rect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, PAPER);
  }
  display_double_reset();
}

std::vector<uint8_t> page_pixels(int page) {
  const uint8_t* pixels = screen_page(page)->pixels;
  return std::vector<uint8_t>(pixels, pixels + SCREEN_WIDTH * SCREEN_HEIGHT);
}

uint8_t pixel(int x, int y) { return *page_pixel(x, y, 0); }

static uint8_t* image_pixel(std::vector<uint8_t>& image, int x, int y) {
  if (x < 0 || x >= SCREEN_WIDTH || y < 0 || y >= SCREEN_HEIGHT) return nullptr;
  return &image[(SCREEN_HEIGHT - 1 - y) * SCREEN_WIDTH + x];
}

void fill_rect(std::vector<uint8_t>& image, int x, int y, int w, int h, uint8_t colour) {
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c)
      if (uint8_t* at = image_pixel(image, x + c, y + r)) *at = colour;
}

void paint_ink(std::vector<uint8_t>& image, const GlyphCell& cell, int x, int y,
               uint8_t colour) {
  for (int r = 0; r < cell.height; ++r)
    for (int c = 0; c < cell.width; ++c)
      if (cell.bits[r][c] == 0)
        if (uint8_t* at = image_pixel(image, x + c, y + r)) *at = colour;
}

::testing::AssertionResult same_pixels(const std::vector<uint8_t>& image, int page) {
  std::vector<uint8_t> got = page_pixels(page);
  int differing = 0, first = -1;
  for (size_t i = 0; i < got.size(); ++i)
    if (got[i] != image[i] && differing++ == 0) first = (int)i;
  if (!differing) return ::testing::AssertionSuccess();
  int x = first % SCREEN_WIDTH, y = SCREEN_HEIGHT - 1 - first / SCREEN_WIDTH;
  return ::testing::AssertionFailure()
         << differing << " pixels differ, first at (" << x << ", " << y << "): want "
         << (int)image[first] << ", page has " << (int)got[first];
}

int ink_in_cell(const GlyphCell& cell) {
  int ink = 0;
  for (int r = 0; r < cell.height; ++r)
    for (int c = 0; c < cell.width; ++c) ink += cell.bits[r][c] == 0;
  return ink;
}

std::vector<DoubleRect> rects(void) {
  const DisplayDouble* d = display_double();
  int kept = d->rect_count < DOUBLE_MAX_RECTS ? d->rect_count : DOUBLE_MAX_RECTS;
  return std::vector<DoubleRect>(d->rects, d->rects + kept);
}

bool operator==(const DoubleRect& a, const DoubleRect& b) {
  return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

std::ostream& operator<<(std::ostream& out, const DoubleRect& r) {
  return out << "(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}

ReferenceFont::ReferenceFont(int height, int width, const wchar_t* face) {
  LOGFONTW font;
  memset(&font, 0, sizeof font);
  font.lfHeight = height;
  font.lfWidth = width;
  font.lfWeight = FW_BOLD;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH;
  wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  dc_ = CreateCompatibleDC(nullptr);
  font_ = CreateFontIndirectW(&font);

  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info;
  memset(&info, 0, sizeof info);
  info.header.biSize = sizeof info.header;
  info.header.biWidth = GLYPH_BITMAP_SIZE;
  info.header.biHeight = -GLYPH_BITMAP_SIZE;  // top-down
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.colours[1] = {255, 255, 255, 0};
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, (BITMAPINFO*)&info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = (uint8_t*)bits;
  old_font_ = SelectObject(dc_, font_);
  old_bitmap_ = SelectObject(dc_, bitmap_);
  SetTextAlign(dc_, 0);
  SetBkMode(dc_, OPAQUE);
  GetTextMetricsW(dc_, &metrics);
}

ReferenceFont::~ReferenceFont() {
  SelectObject(dc_, old_font_);
  SelectObject(dc_, old_bitmap_);
  DeleteObject(font_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void ReferenceFont::rasterise(wchar_t character, GlyphCell* cell) {
  memset(cell, 0, sizeof *cell);
  GdiFlush();
  memset(bits_, 1, GLYPH_BITMAP_SIZE * GLYPH_BITMAP_SIZE);
  TextOutW(dc_, 0, 0, &character, 1);
  GdiFlush();
  memcpy(cell->bits, bits_, sizeof cell->bits);
}
