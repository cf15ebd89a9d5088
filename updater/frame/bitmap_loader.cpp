// The bitmap loader: reads a BMP resource, draws its 4- or 8-bit pixels into the screen pages
// (continuing on the other page below the draw page) and sets palette entries from its colour
// table, moved up by the colour offset and cut off at the colour limit. Whatever a file's
// header says, nothing outside the file's bytes, the pages or the palette tables is touched:
// sizes are worked in 64 bits and checked against the bytes actually read.
#include "bitmap_loader.h"
#include <cstdio>
#include <cstring>
#include "display.h"
#include "frame.h"
#include "palette_tables.h"
#include "resource_lookup.h"
#include "screen_pages.h"

enum {
  FILE_HEADER_BYTES = 14,
  CORE_HEADER_BYTES = 12,
  INFO_FIELD_BYTES = 16,   // an info header's fields up to the bit count
  COLOURS_USED_AT = 32,
  COLOURS_USED_END = 36,
  COMPRESSION_AT = 16,
  COMPRESSION_END = 20,
  MAX_BIT_COUNT = 32,
  PAGE_ROWS_BOTH = 2 * SCREEN_HEIGHT  // the draw page, then the other page below it
};

static struct {
  long long offset;  // added to every pixel index and palette entry index of the next load
  long long limit;   // the highest file colour index used; long long so count - 1 never wraps
} g_loader = {0, 255};

void set_bitmap_colour_offset(int offset) { g_loader.offset = offset; }
void set_bitmap_colour_count(int count) { g_loader.limit = (long long)count - 1; }

static void reset_settings(void) {
  g_loader.offset = 0;
  g_loader.limit = 255;
}

static uint32_t get_u16(const uint8_t* at) { return (uint32_t)(at[0] | at[1] << 8); }
static uint32_t get_u32(const uint8_t* at) {
  return (uint32_t)at[0] | (uint32_t)at[1] << 8 | (uint32_t)at[2] << 16 | (uint32_t)at[3] << 24;
}

// A picture that makes no sense is not drawn at all.
bool bitmap_layout(const uint8_t* data, size_t size, BitmapLayout* layout) {
  if (size < 4) return false;
  uint32_t header_size = get_u32(data);
  long long height;
  if (header_size == CORE_HEADER_BYTES) {
    if (size < CORE_HEADER_BYTES) return false;
    layout->width = get_u16(data + 4);
    height = get_u16(data + 6);  // unsigned: always bottom-up
    layout->bits = (int)get_u16(data + 10);
    layout->record_bytes = 3;
  } else {
    if (header_size < INFO_FIELD_BYTES || size < INFO_FIELD_BYTES) return false;
    layout->width = (int32_t)get_u32(data + 4);
    height = (int32_t)get_u32(data + 8);
    layout->bits = (int)get_u16(data + 14);
    layout->record_bytes = 4;
    // Compressed rows are not stored pixel for pixel; drawn as such they would be noise.
    if (header_size >= COMPRESSION_END) {
      if (size < COMPRESSION_END) return false;
      if (get_u32(data + COMPRESSION_AT) != 0) return false;
    }
  }
  if (layout->width < 1 || height == 0 || layout->bits < 1 || layout->bits > MAX_BIT_COUNT)
    return false;
  layout->top_down = height < 0;
  layout->rows = height < 0 ? -height : height;

  long long colours_used = 0;
  if (header_size != CORE_HEADER_BYTES && header_size >= COLOURS_USED_END) {
    if (size < COLOURS_USED_END) return false;
    colours_used = get_u32(data + COLOURS_USED_AT);
  }
  // Pictures of more than 8 bits per pixel have a table only when colours-used says so.
  if (colours_used) layout->entries = colours_used;
  else layout->entries = layout->bits > 8 ? 0 : 1LL << layout->bits;
  // The colour table follows the header, whatever size the header is, and the rows follow
  // the table.
  layout->table_at = header_size;
  layout->pixels_at = layout->table_at + layout->entries * layout->record_bytes;
  return true;
}

// Draws stored row `row` (one image row of `layout`) at page position (x, dest_y) of the
// draw page (dest_y < 400) or of the other page (400 <= dest_y < 800), dropping columns
// past the page's right edge.
static void draw_row(const uint8_t* row, const BitmapLayout* layout, long long x, long long dest_y) {
  int draw = select_draw_page(-1);
  uint8_t* target = dest_y < SCREEN_HEIGHT ? page_pixel((int)x, (int)dest_y, draw)
                                           : page_pixel((int)x, (int)(dest_y - SCREEN_HEIGHT), 1 - draw);
  if (!target) return;
  long long room = SCREEN_WIDTH - x;
  if (layout->bits == 8) {
    long long count = layout->width < room ? layout->width : room;
    for (long long k = 0; k < count; ++k) {
      long long v = row[k];
      target[k] = v > g_loader.limit ? 0 : (uint8_t)((v + g_loader.offset) & 0xFF);
    }
  } else {
    // Two pixels a byte, high nibble first; an odd width writes its last byte's low nibble
    // too, when that pixel is still on the page.
    long long pixels = layout->width + (layout->width & 1);
    long long count = pixels < room ? pixels : room;
    for (long long k = 0; k < count; ++k) {
      long long nibble = k & 1 ? row[k / 2] & 0x0F : row[k / 2] >> 4;
      target[k] = (uint8_t)((nibble + g_loader.offset) & 0xFF);
    }
  }
}

static void draw_pixels(const uint8_t* data, size_t size, const BitmapLayout* layout, long long x,
                        long long y) {
  long long row_bytes = layout->bits == 8 ? layout->width : (layout->width + 1) / 2;
  long long stride = (row_bytes + 3) & ~3LL;
  if (x >= SCREEN_WIDTH) return;
  // Rows below the other page's bottom are dropped, so at most 800 rows are visited.
  long long end = PAGE_ROWS_BOTH - y < layout->rows ? PAGE_ROWS_BOTH - y : layout->rows;
  for (long long j = 0; j < end; ++j) {
    long long stored = layout->top_down ? j : layout->rows - 1 - j;
    // stored and stride are below 2^31 and 2^31 + 4, so the product stays below 2^63.
    long long at = layout->pixels_at + stored * stride;
    if (at + row_bytes > (long long)size) continue;  // a row the file does not hold
    draw_row(data + at, layout, x, y + j);
  }
}

// Palette entries offset + i from the colour table entries i = 0 .. limit that the table has,
// that lie in the file's bytes and whose entry index is one of the palette's 256.
static void set_colours(const uint8_t* data, size_t size, const BitmapLayout* layout) {
  long long last = g_loader.limit;
  if (last > layout->entries - 1) last = layout->entries - 1;
  if (last > PALETTE_TABLE_SIZE - 1 - g_loader.offset) last = PALETTE_TABLE_SIZE - 1 - g_loader.offset;
  long long first = g_loader.offset < 0 ? -g_loader.offset : 0;
  for (long long i = first; i <= last; ++i) {
    long long at = layout->table_at + i * layout->record_bytes;
    if (at + 3 > (long long)size) break;
    const uint8_t* record = data + at;  // blue, green, red
    set_palette_entry((int)(i + g_loader.offset), record[1], record[2], record[0]);
  }
  apply_palette();
}

void draw_screen_bitmap(const uint8_t* data, size_t size, int x, int y) {
  BitmapLayout layout;
  if (data && bitmap_layout(data, size, &layout)) {
    long long left = x, top = y;
    if (left < 0) left = (SCREEN_WIDTH - layout.width) / 2 < 0 ? 0 : (SCREEN_WIDTH - layout.width) / 2;
    if (top < 0) top = (SCREEN_HEIGHT - layout.rows) / 2 < 0 ? 0 : (SCREEN_HEIGHT - layout.rows) / 2;
    if (layout.bits == 8 && g_loader.limit > 255) g_loader.limit = 255;
    if (layout.bits == 4 && g_loader.limit > 15) g_loader.limit = 15;
    if (layout.bits == 8 || layout.bits == 4) draw_pixels(data, size, &layout, left, top);
    set_colours(data, size, &layout);
    // The picture's rectangle, cut to what the two pages can hold so that it fits an int.
    long long w = SCREEN_WIDTH - left < layout.width ? SCREEN_WIDTH - left : layout.width;
    long long h = PAGE_ROWS_BOTH - top < layout.rows ? PAGE_ROWS_BOTH - top : layout.rows;
    if (w > 0 && h > 0) invalidate_draw_rect((int)left, (int)top, (int)w, (int)h);
  }
  reset_settings();
}

void read_bitmap_file(const char* name, BitmapFile* file) {
  memset(file, 0, sizeof *file);
  FILE* stream = open_resource(name, "rb");
  // The stream holds resource_length() bytes: an archive member's data is followed by the
  // next member's, which must not be taken for this picture.
  file->available = resource_length();
  uint8_t* header = file->file_header;
  if (file->available < FILE_HEADER_BYTES ||
      fread(header, 1, FILE_HEADER_BYTES, stream) < FILE_HEADER_BYTES || header[0] != 'B' ||
      header[1] != 'M') {
    close_resource(stream);
    return;  // not a picture
  }
  file->is_bitmap = true;
  // The file-size field counts the file header too; no more is taken than the field claims
  // or the stream holds.
  long long claimed = get_u32(header + 2);
  long long wanted = (claimed < file->available ? claimed : file->available) - FILE_HEADER_BYTES;
  if (wanted > 0) {
    file->data = (uint8_t*)mem_alloc((size_t)wanted);
    file->size = fread(file->data, 1, (size_t)wanted, stream);
  }
  close_resource(stream);
}

void release_bitmap_file(BitmapFile* file) {
  if (file->data) mem_free(file->data);
  file->data = nullptr;
  file->size = 0;
}

void load_screen_bitmap(const char* name, int x, int y) {
  BitmapFile file;
  read_bitmap_file(name, &file);
  if (!file.is_bitmap) return;  // nothing drawn, the settings stay
  draw_screen_bitmap(file.data, file.size, x, y);
  release_bitmap_file(&file);
}
