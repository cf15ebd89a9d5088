// Draws a BMP picture into the screen pages and puts its colours into the palette. Colour
// indices can be moved up by an offset and cut off above a limit, so that a picture takes
// only a chosen range of palette entries. Portable: reads through the resource lookup.
#pragma once
#include <cstddef>
#include <cstdint>

// The settings for the next load; every completed load puts them back to offset 0, limit 255.
void set_bitmap_colour_offset(int offset);
void set_bitmap_colour_count(int count);  // the limit becomes count - 1

// Loads the picture `name` and draws it with its top-left corner at page pixel (x, y); a
// negative x or y centres it on that axis. A file that is not a BMP is ignored.
void load_screen_bitmap(const char* name, int x, int y);

// What the loader decides from a bitmap header, widened so that no product or sum of fields
// can overflow. Offsets count from the start of the bitmap header (the file's byte 14).
struct BitmapLayout {
  long long width, rows;    // both at least 1
  bool top_down;            // rows stored from the top row down
  int bits;                 // 1 .. 32; only 4 and 8 are drawn
  long long table_at;       // colour table
  long long record_bytes;   // 3 (core header) or 4
  long long entries;        // entries in the colour table
  long long pixels_at;      // first stored row
};

// The layout the loader takes for the bytes after a file header; false for a picture it does
// not draw at all and whose colours it leaves alone (too short to hold its header, no width
// or height, a bit count of 0 or above 32, compressed rows).
bool bitmap_layout(const uint8_t* data, size_t size, BitmapLayout* layout);

// A picture file as the loader reads it before drawing.
struct BitmapFile {
  uint8_t file_header[14];  // as read (all zero when fewer than 14 bytes could be read)
  bool is_bitmap;           // 14 bytes read and the signature "BM"; else nothing is drawn
  long long available;      // the resource's length
  uint8_t* data;            // the bytes taken after the file header (mem_alloc), or null
  size_t size;
};

// Opens `name` through the resource lookup and reads it as load_screen_bitmap does: no more
// than the file-size field claims or the resource holds. release_bitmap_file frees the data.
void read_bitmap_file(const char* name, BitmapFile* file);
void release_bitmap_file(BitmapFile* file);

// The drawing part of a load: `data` holds the file from its bitmap header on (the bytes after
// the 14-byte file header), `size` of them. Never reads or writes outside `data`, the pages
// or the palette tables, whatever the bytes say; resets the settings like a completed load.
void draw_screen_bitmap(const uint8_t* data, size_t size, int x, int y);
