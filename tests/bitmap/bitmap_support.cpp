// The bitmap tests' fixture, page and palette probes and BMP image builder.
#include "bitmap_support.h"
#include <cstdio>
#include <cstring>
#include "bitmap_loader.h"
#include "display_double.h"
#include "frame_double.h"
#include "palette_tables.h"
#include "resource_sources.h"
#include "screen_pages.h"

void BitmapTest::SetUp() {
  frame_double_reset();
  display_double_reset();
  reset_palette_tables(UPDATER_PALETTE_ENTRIES);
  init_screen_pages();
  select_draw_page(0);
  select_shown_page(0);
  for (int page = 0; page < 2; ++page)
    memset(screen_page(page)->pixels, CANVAS, sizeof screen_page(page)->pixels);
  display_double_reset();
  set_bitmap_colour_offset(0);
  set_bitmap_colour_count(256);
}

void BitmapTest::TearDown() { reset_resource_sources(); }

uint8_t pixel_at(int page, int x, int y) { return *page_pixel(x, y, page); }

int changed_pixels(int page) {
  int count = 0;
  for (uint8_t value : screen_page(page)->pixels) count += value != CANVAS;
  return count;
}

bool changed_exactly(int page, int x, int y, int w, int h) {
  for (int row = 0; row < SCREEN_HEIGHT; ++row)
    for (int col = 0; col < SCREEN_WIDTH; ++col) {
      bool inside = col >= x && col < x + w && row >= y && row < y + h;
      if ((pixel_at(page, col, row) != CANVAS) != inside) return false;
    }
  return true;
}

std::vector<int> palette_rgb(int index) {
  const PaletteEntry& e = palette_tables()->logical.entries[index];
  return {e.red, e.green, e.blue};
}

bool palette_untouched(int index) {
  const PaletteEntry& e = palette_tables()->logical.entries[index];
  return e.red == 255 && e.green == 255 && e.blue == 255 &&
         e.flags == (PALETTE_FLAG_RESERVED | PALETTE_FLAG_NOCOLLAPSE);
}

std::vector<int> entry_rgb(int i) { return {(i * 7) & 255, 255 - i, i}; }

int built_index(const BitmapShape& shape, int c, int r) {
  int colours = shape.bits == 4 ? 16 : 200;  // never the canvas colour
  return (c * 5 + r * 3 + 1) % colours;
}

void put_u16(std::string& bytes, size_t at, uint16_t value) {
  bytes[at] = char(value & 0xFF);
  bytes[at + 1] = char(value >> 8);
}

void put_u32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

uint32_t get_u32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + i]);
  return value;
}

std::string bitmap_image(const BitmapShape& shape) {
  bool core = shape.header_size == 12;
  std::string image(shape.header_size, '\0');
  put_u32(image, 0, shape.header_size);
  if (core) {
    put_u16(image, 4, uint16_t(shape.width));
    put_u16(image, 6, uint16_t(shape.height));
    put_u16(image, 8, 1);
    put_u16(image, 10, uint16_t(shape.bits));
  } else {
    put_u32(image, 4, uint32_t(shape.width));
    put_u32(image, 8, uint32_t(shape.height));
    put_u16(image, 12, 1);
    put_u16(image, 14, uint16_t(shape.bits));
    if (shape.header_size >= 36) put_u32(image, 32, shape.colours_used);
  }
  for (int i = 0; i < shape.entries; ++i) {
    std::vector<int> rgb = entry_rgb(i);
    image += char(rgb[2]);
    image += char(rgb[1]);
    image += char(rgb[0]);
    if (!core) image += '\0';
  }
  int rows = shape.height < 0 ? -shape.height : shape.height;
  size_t row_bytes = shape.bits == 4 ? (size_t(shape.width) + 1) / 2 : size_t(shape.width);
  size_t stride = (row_bytes + 3) & ~size_t(3);
  for (int s = 0; s < rows; ++s) {
    int r = shape.height < 0 ? s : rows - 1 - s;  // the image row stored s-th
    std::string row(stride, '\0');
    for (int c = 0; c < shape.width; ++c) {
      int v = built_index(shape, c, r);
      if (shape.bits == 4)
        row[c / 2] = char(uint8_t(row[c / 2]) | (c % 2 ? v : v << 4));
      else
        row[c] = char(v);
    }
    image += row;
  }
  return image;
}

std::string bmp_file(const std::string& image, uint32_t size_field) {
  std::string file(14, '\0');
  file[0] = 'B';
  file[1] = 'M';
  put_u32(file, 2, size_field);
  return file + image;
}

std::string bmp_file(const std::string& image) { return bmp_file(image, uint32_t(image.size() + 14)); }

void draw_image(const std::string& image, int x, int y) {
  draw_screen_bitmap(reinterpret_cast<const uint8_t*>(image.data()), image.size(), x, y);
}

std::string read_file(const std::string& name) {
  std::string bytes;
  FILE* f = fopen(name.c_str(), "rb");
  if (!f) {
    ADD_FAILURE() << "cannot read " << name;
    return bytes;
  }
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, got);
  fclose(f);
  return bytes;
}

void write_file(const std::string& name, const std::string& bytes) {
  FILE* f = fopen(name.c_str(), "wb");
  ASSERT_NE(nullptr, f) << name;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}
