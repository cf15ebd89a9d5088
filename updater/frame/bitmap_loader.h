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

// The drawing part of a load: `data` holds the file from its bitmap header on (the bytes after
// the 14-byte file header), `size` of them. Never reads or writes outside `data`, the pages
// or the palette tables, whatever the bytes say; resets the settings like a completed load.
void draw_screen_bitmap(const uint8_t* data, size_t size, int x, int y);
