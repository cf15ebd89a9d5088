// Common ground of the bitmap loader tests: a fresh display for every test with both pages
// painted in a canvas colour no load produces, and BMP images built byte by byte.
#pragma once
#include <gtest/gtest.h>
#include <cstdint>
#include <string>
#include <vector>

enum { CANVAS = 0xEE };  // above the updater's 236 palette entries

class BitmapTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

uint8_t pixel_at(int page, int x, int y);
// Pixels of `page` that are no longer the canvas colour.
int changed_pixels(int page);
// True when every pixel of `page` is the canvas colour except those inside the rectangle,
// which all changed.
bool changed_exactly(int page, int x, int y, int w, int h);

// The palette entry `index` as set: red, green, blue.
std::vector<int> palette_rgb(int index);
// Palette entries still as reset_palette_tables left them (white, reserved and no-collapse).
bool palette_untouched(int index);

// A bitmap header, colour table and pixel rows: what follows a BMP's 14-byte file header.
struct BitmapShape {
  int32_t width = 4;
  int32_t height = 3;  // negative: rows stored top-down
  int bits = 8;
  uint32_t header_size = 40;
  uint32_t colours_used = 0;
  int entries = 256;  // colour table entries written (3-byte records for a 12-byte header)
};

// Colour table entry i of built images: blue i, green 255 - i, red 7i (mod 256).
std::vector<int> entry_rgb(int i);
// The colour index of image pixel (column c, row r; r = 0 the top row) in built images:
// below 16 for 4 bits, below 200 for 8.
int built_index(const BitmapShape& shape, int c, int r);

std::string bitmap_image(const BitmapShape& shape);
// The image behind a 14-byte file header whose file-size field is `size_field`.
std::string bmp_file(const std::string& image, uint32_t size_field);
std::string bmp_file(const std::string& image);  // the true size

void put_u16(std::string& bytes, size_t at, uint16_t value);
void put_u32(std::string& bytes, size_t at, uint32_t value);
uint32_t get_u32(const std::string& bytes, size_t at);

void draw_image(const std::string& image, int x, int y);  // draw_screen_bitmap on the bytes

std::string read_file(const std::string& name);
void write_file(const std::string& name, const std::string& bytes);
