// The splash picture read and laid out by the loader's own code, then judged: pictures the
// loader refuses, a size other than the window's, 4-bit rows of odd width, a pixel offset
// that differs from the loader's, rows the bytes do not hold, and colour indices that come
// out black or take colours the table does not give.
#include "bitmap_check.h"
#include <cstdio>
#include <cstring>
#include "bitmap_loader.h"
#include "findings.h"
#include "medium_source.h"

enum {
  FILE_HEADER = 14,
  PIXEL_OFFSET_AT = 10,  // in the file header
  COMPRESSION_AT = 16,   // in an info header
  PAGE_WIDTH = 640,
  LABEL_SIZE = 300
};

static uint32_t u32_at(const uint8_t* at) {
  return (uint32_t)at[0] | (uint32_t)at[1] << 8 | (uint32_t)at[2] << 16 | (uint32_t)at[3] << 24;
}

static const char* compression_name(uint32_t kind) {
  switch (kind) {
    case 1:
      return "RLE8";
    case 2:
      return "RLE4";
    case 3:
      return "bit fields";
    default:
      return "compressed";
  }
}

// Why the loader draws nothing for bytes that have no layout.
static void report_refused(const char* label, const BitmapFile* file) {
  if (file->size >= COMPRESSION_AT + 4 && u32_at(file->data) >= COMPRESSION_AT + 4) {
    uint32_t kind = u32_at(file->data + COMPRESSION_AT);
    if (kind != 0) {
      add_finding(FINDING_ERROR, label, 0,
                  "the picture is stored %s (compression %u): the updater draws only uncompressed "
                  "pictures, so the splash stays black; save it without RLE compression",
                  compression_name(kind), kind);
      return;
    }
  }
  add_finding(FINDING_ERROR, label, 0,
              "the bitmap header makes no sense to the loader (cut short, no width or height, or a "
              "bit count of 0 or above 32): nothing is drawn");
}

static void report_size(const char* label, const BitmapLayout* layout) {
  if (layout->width == SPLASH_WIDTH && layout->rows == SPLASH_HEIGHT) return;
  char parts[200] = "";
  if (layout->width > SPLASH_WIDTH)
    snprintf(parts, sizeof parts, "; columns past %d lie outside the window%s", SPLASH_WIDTH,
             SPLASH_X + layout->width > PAGE_WIDTH ? " and past the page, cut off" : "");
  else if (layout->width < SPLASH_WIDTH)
    snprintf(parts, sizeof parts, "; the window's columns past %lld keep the page's black",
             layout->width);
  size_t n = strlen(parts);
  if (layout->rows > SPLASH_HEIGHT)
    snprintf(parts + n, sizeof parts - n, "; rows past %d are covered by the title band",
             SPLASH_HEIGHT);
  else if (layout->rows < SPLASH_HEIGHT)
    snprintf(parts + n, sizeof parts - n, "; rows %lld to %d stay black", layout->rows,
             SPLASH_HEIGHT - 1);
  add_finding(FINDING_WARNING, label, 0, "the picture is %lld x %lld, not %d x %d%s", layout->width,
              layout->rows, SPLASH_WIDTH, SPLASH_HEIGHT, parts);
}

// Colour indices of the rows the file holds: those above the splash's 220 colours (drawn in
// colour 0, black), and those the colour table does not give.
static void report_colours(const char* label, const BitmapFile* file, const BitmapLayout* layout) {
  long long row_bytes = layout->bits == 8 ? layout->width : (layout->width + 1) / 2;
  long long stride = (row_bytes + 3) & ~3LL;
  long long table_room = ((long long)file->size - layout->table_at) / layout->record_bytes;
  long long table = layout->entries < table_room ? layout->entries : table_room;
  if (table < 0) table = 0;
  bool used[256] = {false};
  long long black = 0, untabled = 0, missing_rows = 0;
  int highest = 0;
  // The loader visits at most the 800 rows of both pages and the columns left of the page's
  // edge; only those are judged.
  long long rows = layout->rows < 2 * 400 ? layout->rows : 2 * 400;
  long long columns = layout->width < PAGE_WIDTH - SPLASH_X ? layout->width : PAGE_WIDTH - SPLASH_X;
  for (long long j = 0; j < rows; ++j) {
    long long stored = layout->top_down ? j : layout->rows - 1 - j;
    long long at = layout->pixels_at + stored * stride;
    if (at + row_bytes > (long long)file->size) {
      ++missing_rows;
      continue;
    }
    const uint8_t* row = file->data + at;
    for (long long k = 0; k < columns; ++k) {
      int v = layout->bits == 8 ? row[k] : (k & 1 ? row[k / 2] & 0x0F : row[k / 2] >> 4);
      used[v] = true;
      if (layout->bits == 8 && v >= SPLASH_COLOURS) {
        ++black;
        if (v > highest) highest = v;
      } else if (v >= table) {
        ++untabled;
      }
    }
  }
  int distinct = 0;
  for (bool u : used) distinct += u;
  if (missing_rows) {
    add_finding(FINDING_WARNING, label, 0,
                "%lld of the %lld rows lie past the bytes the loader reads (the file-size field or "
                "the file is short): those rows are not drawn",
                missing_rows, rows);
  }
  if (black) {
    add_finding(FINDING_WARNING, label, 0,
                "%lld pixels use colour indices above %d (up to %d; %d colours used): the splash "
                "has %d colours, and the updater draws these pixels black",
                black, SPLASH_COLOURS - 1, highest, distinct, SPLASH_COLOURS);
  }
  if (untabled) {
    add_finding(FINDING_WARNING, label, 0,
                "%lld pixels use colour indices past the colour table's %lld entries: the palette "
                "entries they show are not set by the picture",
                untabled, table);
  }
}

void check_splash_bitmap(void) {
  const char* name = "update.bmp";
  char label[LABEL_SIZE];
  if (!resource_label(name, label, sizeof label)) return;
  BitmapFile file;
  read_bitmap_file(name, &file);
  BitmapLayout layout;
  if (!file.is_bitmap) {
    add_finding(FINDING_ERROR, label, 0,
                "not a BMP file (no \"BM\" at its start, or shorter than 14 bytes): the updater "
                "draws nothing and the splash stays black");
  } else if (!file.data || !bitmap_layout(file.data, file.size, &layout)) {
    report_refused(label, &file);
  } else if (layout.bits != 4 && layout.bits != 8) {
    add_finding(FINDING_ERROR, label, 0,
                "%d bit%s per pixel: the updater draws only 4- and 8-bit pictures, so the splash "
                "stays black%s",
                layout.bits, layout.bits == 1 ? "" : "s",
                layout.bits == 1 ? " (a two-colour picture is often saved with 1 bit; save it with "
                                   "16 or 256 colours)"
                                 : "; save it with 16 or 256 colours");
  } else {
    report_size(label, &layout);
    if (layout.bits == 4 && (layout.width & 1)) {
      add_finding(FINDING_WARNING, label, 0,
                  "4 bits per pixel with an odd width (%lld): the updater draws one column more at "
                  "the right, from the unused half of each row's last byte (usually colour 0)",
                  layout.width);
    }
    uint32_t said = u32_at(file.file_header + PIXEL_OFFSET_AT);
    long long read_at = FILE_HEADER + layout.pixels_at;
    if (said != read_at) {
      add_finding(
          FINDING_WARNING, label, 0,
          "the file header puts the pixels at byte %u, but the updater reads them from byte "
          "%lld (right after the header and the %lld-entry colour table): the picture is "
          "drawn shifted",
          said, read_at, layout.entries);
    }
    report_colours(label, &file, &layout);
  }
  release_bitmap_file(&file);
}
