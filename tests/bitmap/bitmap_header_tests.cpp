// The bitmap loader's drawing on hand-made images: the colour index arithmetic, which
// palette entries a picture sets, headers that make no sense, fields far out of range and
// pictures that do not fit the pages.
#include <climits>
#include "bitmap_loader.h"
#include "bitmap_support.h"
#include "display_double.h"
#include "screen_pages.h"

namespace {

using BitmapHeaderTest = BitmapTest;

// A one-pixel picture of index `v`.
std::string one_pixel(int bits, int v) {
  BitmapShape shape;
  shape.width = shape.height = 1;
  shape.bits = bits;
  shape.entries = bits == 4 ? 16 : 256;
  std::string image = bitmap_image(shape);
  image.back() = 0;  // the row's padding
  image[image.size() - 4] = char(bits == 4 ? v << 4 : v);
  return image;
}

TEST_F(BitmapHeaderTest, PixelIndexArithmetic) {
  struct Case {
    int bits, v, offset, count, drawn;
  } cases[] = {
      {8, 219, 16, 220, 235},  // the splash settings
      {8, 230, 16, 220, 0},    // above the limit
      {8, 0, 16, 220, 16},
      {8, 200, 100, 256, 44},  // wraps modulo 256
      {8, 5, 0, 5, 0},
      {8, 5, -10, 256, 251},
      {8, 255, 0, 999, 255},   // the limit is lowered to 255
      {8, 3, 7, 0, 0},         // no colours at all: every pixel 0
      {4, 15, 16, 220, 31},
      {4, 15, 16, 4, 31},      // the limit does not apply to 4-bit pixels
      {4, 9, 250, 16, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.bits << " bits, value " << c.v << ", offset " << c.offset
                                      << ", count " << c.count);
    set_bitmap_colour_offset(c.offset);
    set_bitmap_colour_count(c.count);
    draw_image(one_pixel(c.bits, c.v), 10, 20);
    EXPECT_EQ(c.drawn, pixel_at(0, 10, 20));
  }
}

// Palette entries offset + i are set from table entries i = 0 .. limit that the file's table
// has, inside the bytes given, and only where offset + i is one of the 256 entries.
TEST_F(BitmapHeaderTest, ColourEntriesComeOnlyFromTheTable) {
  struct Case {
    const char* name;
    int bits, entries;
    uint32_t colours_used;
    size_t cut_entries;  // the bytes end after this many table entries; 0 none cut
    int offset, count;
    int first_set, set;  // palette entries first_set .. first_set + set - 1
  } cases[] = {
      {"splash settings", 8, 256, 0, 0, 16, 220, 16, 220},
      {"ten colours used", 8, 10, 10, 0, 16, 220, 16, 10},
      {"table past the end", 8, 256, 200, 10, 16, 220, 16, 10},
      {"offset and limit past 255", 8, 256, 0, 0, 100, 220, 100, 156},
      {"negative offset", 8, 256, 0, 0, -5, 256, 0, 251},
      {"4 bits: limit 15", 4, 16, 0, 0, 16, 220, 16, 16},
      {"24 bits: no table", 24, 0, 0, 0, 0, 256, 0, 0},
      {"24 bits: colours used", 24, 3, 3, 0, 0, 256, 0, 3},
      {"16 bits: no table", 16, 0, 0, 0, 0, 256, 0, 0},
      {"32 bits: no table", 32, 0, 0, 0, 0, 256, 0, 0},
      {"1 bit: limit kept", 1, 2, 0, 0, 0, 256, 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    BitmapShape shape;
    shape.bits = c.bits;
    shape.entries = c.entries;
    shape.colours_used = c.colours_used;
    std::string image = bitmap_image(shape);
    if (c.cut_entries) image.resize(40 + 4 * c.cut_entries + 2);
    set_bitmap_colour_offset(c.offset);
    set_bitmap_colour_count(c.count);
    draw_image(image, 0, 0);
    EXPECT_EQ(1, display_double()->palette_applies);
    for (int i = 0; i < 256; ++i) {
      if (i >= c.first_set && i < c.first_set + c.set)
        EXPECT_EQ(entry_rgb(i - c.offset), palette_rgb(i)) << i;
      else
        EXPECT_TRUE(palette_untouched(i)) << i;
    }
  }
}

// Headers that make no sense: nothing is drawn, the palette is not touched, nothing is
// repainted, and the settings are reset as after any load.
TEST_F(BitmapHeaderTest, SenselessHeadersAreRefused) {
  struct Case {
    const char* name;
    size_t at;  // patch a u32 (or u16 when `u16`) at this offset of a good 4 x 3 image
    uint32_t value;
    bool u16;
    size_t keep;  // bytes kept; 0 all
  } cases[] = {
      {"width 0", 4, 0, false, 0},
      {"negative width", 4, uint32_t(-5), false, 0},
      {"height 0", 8, 0, false, 0},
      {"bit count 0", 14, 0, true, 0},
      {"bit count 33", 14, 33, true, 0},
      {"bit count 65535", 14, 65535, true, 0},
      {"header size 13", 0, 13, false, 0},
      {"header size 4", 0, 4, false, 0},
      {"compressed rows", 16, 1, false, 0},
      {"cut inside the header", 0, 40, false, 30},
      {"cut before the bit count", 0, 40, false, 15},
      {"three bytes", 0, 40, false, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    std::string image = bitmap_image(BitmapShape());
    if (c.u16) put_u16(image, c.at, uint16_t(c.value));
    else put_u32(image, c.at, c.value);
    if (c.keep) image.resize(c.keep);
    set_bitmap_colour_offset(16);
    set_bitmap_colour_count(220);
    draw_image(image, 0, 0);
    EXPECT_EQ(0, changed_pixels(0) + changed_pixels(1));
    EXPECT_EQ(0, display_double()->palette_applies + display_double()->rect_count);
    for (int i = 0; i < 256; ++i) EXPECT_TRUE(palette_untouched(i)) << i;
    draw_image(one_pixel(8, 230), 0, 0);
    EXPECT_EQ(230, pixel_at(0, 0, 0));
  }
  display_double_reset();
  draw_screen_bitmap(nullptr, 0, 0, 0);
  EXPECT_EQ(0, display_double()->palette_applies);
}

// Fields far out of range draw what the bytes hold and nothing else.
TEST_F(BitmapHeaderTest, ExtremeFieldsStayInsideTheBytes) {
  struct Case {
    const char* name;
    int32_t width, height;
    uint32_t colours_used;
    int x, y;
    int rect[4];  // the draw page's changed pixels
  } cases[] = {
      {"huge width: no whole row", INT_MAX, 3, 0, -1, -1, {0, 0, 0, 0}},
      {"height INT_MIN: the rows there are", 4, INT_MIN, 0, 10, -1, {10, 0, 4, 3}},
      {"height INT_MAX: the rows there are", 4, INT_MAX, 0, 10, -1, {10, 0, 4, 0}},
      {"4 billion colours", 4, 3, 0xFFFFFFFF, 10, 10, {0, 0, 0, 0}},
      {"placed at INT_MAX", 4, 3, 0, INT_MAX, INT_MAX, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    BitmapShape shape;  // rows and table of a 4 x 3 picture under the patched header
    shape.height = c.height == INT_MIN ? -3 : 3;
    std::string image = bitmap_image(shape);
    put_u32(image, 4, uint32_t(c.width));
    put_u32(image, 8, uint32_t(c.height));
    put_u32(image, 32, c.colours_used);
    draw_image(image, c.x, c.y);
    EXPECT_TRUE(changed_exactly(0, c.rect[0], c.rect[1], c.rect[2], c.rect[3]));
    EXPECT_EQ(0, changed_pixels(1));
    for (int i = 0; i < display_double()->rect_count; ++i) {  // kept to the two pages
      DoubleRect r = display_double()->rects[i];
      EXPECT_TRUE(r.x >= 0 && r.w > 0 && r.x + r.w <= 640 && r.y >= 0 && r.h > 0 && r.y + r.h <= 800);
    }
  }
}

// Pictures that do not fit are cut at the right edge and below the other page; a pixel past
// column 639 would land on the next row up in a page's memory.
TEST_F(BitmapHeaderTest, PicturesAreClippedToThePages) {
  struct Case {
    const char* name;
    int bits, width, height, x, y;
    int draw[4], other[4];  // changed pixels of each page
    int invalidated[4];
  } cases[] = {
      {"past the right edge", 8, 20, 3, 630, 5, {630, 5, 10, 3}, {0, 0, 0, 0}, {630, 5, 10, 3}},
      {"4-bit odd width, extra pixel fits", 4, 9, 2, 630, 5, {630, 5, 10, 2}, {0, 0, 0, 0},
       {630, 5, 9, 2}},
      {"4-bit odd width at the edge", 4, 9, 2, 631, 5, {631, 5, 9, 2}, {0, 0, 0, 0}, {631, 5, 9, 2}},
      {"past page 1's bottom", 8, 4, 500, 10, 350, {10, 350, 4, 50}, {10, 0, 4, 400},
       {10, 350, 4, 450}},
      {"wider than the page, centred", 8, 650, 2, -1, 0, {0, 0, 640, 2}, {0, 0, 0, 0},
       {0, 0, 640, 2}},
      {"below both pages", 8, 4, 3, 0, 800, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    BitmapShape shape;
    shape.bits = c.bits;
    shape.entries = c.bits == 4 ? 16 : 256;
    shape.width = c.width;
    shape.height = c.height;
    draw_image(bitmap_image(shape), c.x, c.y);
    EXPECT_TRUE(changed_exactly(0, c.draw[0], c.draw[1], c.draw[2], c.draw[3]));
    EXPECT_TRUE(changed_exactly(1, c.other[0], c.other[1], c.other[2], c.other[3]));
    if (c.draw[2]) {
      EXPECT_EQ(built_index(shape, 0, 0), pixel_at(0, c.draw[0], c.draw[1]));
      ASSERT_EQ(1, display_double()->rect_count);
      DoubleRect r = display_double()->rects[0];
      EXPECT_EQ((std::vector<int>(c.invalidated, c.invalidated + 4)),
                (std::vector<int>{r.x, r.y, r.w, r.h}));
    } else {
      EXPECT_EQ(0, display_double()->rect_count);
    }
  }
}

}  // namespace

namespace {

// The layout the loader decides, as the medium checker sees it: where the table and the rows
// are for each header kind, and no layout where nothing is drawn.
TEST_F(BitmapHeaderTest, LayoutIsWhatTheDrawingUses) {
  BitmapShape shape;
  shape.width = 5;
  shape.height = -2;
  shape.colours_used = 20;
  shape.entries = 20;
  std::string image = bitmap_image(shape);
  BitmapLayout layout;
  ASSERT_TRUE(bitmap_layout(reinterpret_cast<const uint8_t*>(image.data()), image.size(), &layout));
  EXPECT_EQ(5, layout.width);
  EXPECT_EQ(2, layout.rows);
  EXPECT_TRUE(layout.top_down);
  EXPECT_EQ(8, layout.bits);
  EXPECT_EQ(40, layout.table_at);
  EXPECT_EQ(20, layout.entries);
  EXPECT_EQ(40 + 20 * 4, layout.pixels_at);

  BitmapShape core;
  core.header_size = 12;
  core.bits = 4;
  core.entries = 16;
  image = bitmap_image(core);
  ASSERT_TRUE(bitmap_layout(reinterpret_cast<const uint8_t*>(image.data()), image.size(), &layout));
  EXPECT_EQ(3, layout.record_bytes);
  EXPECT_EQ(16, layout.entries);
  EXPECT_EQ(12 + 16 * 3, layout.pixels_at);
  EXPECT_FALSE(layout.top_down);

  image = bitmap_image(BitmapShape());
  put_u32(image, 16, 1);  // compressed: not drawn
  EXPECT_FALSE(bitmap_layout(reinterpret_cast<const uint8_t*>(image.data()), image.size(), &layout));
}

}  // namespace
