// The text renderer: one memory device context with a 64 x 64 glyph bitmap, the current font
// and its metrics, and the drawing of glyph masks and strings into the draw page. Characters
// reach the font engine as wide characters converted from their Shift-JIS bytes, so a glyph is
// the same whatever the system's ANSI code page is.
#include "text_renderer.h"
#include <limits.h>
#include <string.h>
#include "app_window.h"
#include "frame.h"
#include "screen_pages.h"
#include "sjis.h"
#include "wide_text.h"

enum {
  GLYPH_BYTES = GLYPH_BITMAP_SIZE * GLYPH_BITMAP_SIZE,
  DOUBLE_SIZE_WIDTH = 17,  // character width asked of the font for size 32
  SHADOWED_COLOUR = 256    // colours from here on are face (low 4 bits) over shadow (next 4)
};

// Bold, Shift-JIS, fixed pitch; only the height and the face differ. Only font 0 is used.
static const LOGFONTA FONT_TABLE[FONT_TABLE_SIZE] = {
    {16, 0, 0, 0, FW_BOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, "ＭＳ ゴシック"},
    {16, 0, 0, 0, FW_BOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, "ＭＳ 明朝"},
    {18, 0, 0, 0, FW_BOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, "Terminal"},
    {18, 0, 0, 0, FW_BOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, "System"},
    {18, 0, 0, 0, FW_BOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH, ""},
};

// A BITMAPINFO with room for the whole 256-entry colour table the header implies.
struct GlyphBitmapInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

static struct {
  LOGFONTA font;            // the current description (double size during one size-32 glyph)
  int font_index;           // FontTable entry last selected
  int base_height;          // the height of the selected table entry
  TEXTMETRICW metrics;      // of the font in the context, valid when metrics_valid is set
  int metrics_valid;
  HDC dc;                   // memory context holding the font and the glyph bitmap
  HFONT font_object;
  HBITMAP bitmap;           // 64 x 64, 8 bits, bottom-up; 0 black (ink), 1 white
  HGDIOBJ replaced_font;    // what the font and the bitmap replaced in the context
  HGDIOBJ replaced_bitmap;
  unsigned char* bits;      // the bitmap's pixels
  GlyphCell cell;           // the last glyph rasterised
} g_text;

// Creates the font object from the current description, through the wide API so that the
// face name means the same under any ANSI code page.
static HFONT create_current_font(void) {
  LOGFONTW wide;
  memset(&wide, 0, sizeof wide);
  const LOGFONTA& font = g_text.font;
  wide.lfHeight = font.lfHeight;
  wide.lfWidth = font.lfWidth;
  wide.lfEscapement = font.lfEscapement;
  wide.lfOrientation = font.lfOrientation;
  wide.lfWeight = font.lfWeight;
  wide.lfItalic = font.lfItalic;
  wide.lfUnderline = font.lfUnderline;
  wide.lfStrikeOut = font.lfStrikeOut;
  wide.lfCharSet = font.lfCharSet;
  wide.lfOutPrecision = font.lfOutPrecision;
  wide.lfClipPrecision = font.lfClipPrecision;
  wide.lfQuality = font.lfQuality;
  wide.lfPitchAndFamily = font.lfPitchAndFamily;
  char face[LF_FACESIZE];
  memcpy(face, font.lfFaceName, LF_FACESIZE);
  face[LF_FACESIZE - 1] = 0;
  cp932_to_wide(face, wide.lfFaceName, LF_FACESIZE, WIDE_TEXT);
  return CreateFontIndirectW(&wide);
}

// Replaces the font in the context with one made from the current description.
static void rebuild_font(void) {
  g_text.metrics_valid = 0;
  if (!g_text.dc) return;
  SelectObject(g_text.dc, g_text.replaced_font);
  if (g_text.font_object) DeleteObject(g_text.font_object);
  g_text.font_object = create_current_font();
  g_text.replaced_font = SelectObject(g_text.dc, g_text.font_object);
}

int select_text_font(int index) {
  if (index < 0 || index >= FONT_TABLE_SIZE) return -1;
  g_text.font = FONT_TABLE[index];
  g_text.font_index = index;
  g_text.base_height = g_text.font.lfHeight;
  rebuild_font();
  return index;
}

void init_text_renderer(void) {
  if (g_text.dc) return;
  add_system_end(release_text_renderer);
  select_text_font(0);
  g_text.dc = CreateCompatibleDC(nullptr);
  g_text.font_object = create_current_font();

  GlyphBitmapInfo info;
  memset(&info, 0, sizeof info);
  info.header.biSize = sizeof info.header;
  info.header.biWidth = GLYPH_BITMAP_SIZE;
  info.header.biHeight = GLYPH_BITMAP_SIZE;  // bottom-up
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.header.biCompression = BI_RGB;
  info.colours[1].rgbRed = info.colours[1].rgbGreen = info.colours[1].rgbBlue = 255;
  void* bits = nullptr;
  g_text.bitmap = CreateDIBSection(g_text.dc, (BITMAPINFO*)&info, DIB_RGB_COLORS, &bits,
                                   nullptr, 0);
  g_text.bits = (unsigned char*)bits;

  g_text.replaced_font = SelectObject(g_text.dc, g_text.font_object);
  g_text.replaced_bitmap = SelectObject(g_text.dc, g_text.bitmap);
  SetTextAlign(g_text.dc, 0);  // left, top
  SetBkMode(g_text.dc, OPAQUE);
}

void release_text_renderer(void) {
  if (g_text.dc) {
    SelectObject(g_text.dc, g_text.replaced_font);
    if (g_text.font_object) DeleteObject(g_text.font_object);
    SelectObject(g_text.dc, g_text.replaced_bitmap);
    if (g_text.bitmap) DeleteObject(g_text.bitmap);
    DeleteDC(g_text.dc);
  }
  g_text.dc = nullptr;
  g_text.font_object = nullptr;
  g_text.bitmap = nullptr;
  g_text.replaced_font = nullptr;
  g_text.replaced_bitmap = nullptr;
  g_text.bits = nullptr;
  g_text.metrics_valid = 0;
  remove_system_end(release_text_renderer);
}

static int clamp_cell_size(long value) {
  if (value < 0) return 0;
  return value > GLYPH_BITMAP_SIZE ? GLYPH_BITMAP_SIZE : (int)value;
}

// Rasterises `code` into the GlyphCell. A cell never exceeds the 64 x 64 bitmap, whatever the
// font's metrics say, so no reader goes past the glyph rows. Without the context (before init
// or after release) the cell is empty.
static GlyphCell* rasterise_glyph(int code, int minimum_height) {
  GlyphCell* cell = &g_text.cell;
  memset(cell, 0, sizeof *cell);
  cell->code = code;
  if (!g_text.dc || !g_text.bits) return cell;
  if (!g_text.metrics_valid) {
    GetTextMetricsW(g_text.dc, &g_text.metrics);
    g_text.metrics_valid = 1;
  }
  GdiFlush();
  memset(g_text.bits, 1, GLYPH_BYTES);

  char bytes[3] = {0, 0, 0};
  long width;
  if (code >= 0 && code < 256) {
    bytes[0] = (char)code;
    width = g_text.metrics.tmAveCharWidth;
  } else {
    bytes[0] = (char)((code >> 8) & 0xFF);
    bytes[1] = (char)(code & 0xFF);
    width = g_text.metrics.tmMaxCharWidth;
  }
  long height = g_text.metrics.tmHeight > minimum_height ? g_text.metrics.tmHeight
                                                          : minimum_height;
  cell->width = clamp_cell_size(width);
  cell->height = clamp_cell_size(height);

  wchar_t text[4];
  int length = cp932_to_wide(bytes, text, 4, WIDE_TEXT);
  if (length > 0) TextOutW(g_text.dc, 0, 0, text, length);
  GdiFlush();

  // The bitmap is bottom-up: its last row in memory is the top of the glyph.
  for (int r = 0; r < GLYPH_BITMAP_SIZE; ++r)
    memcpy(cell->bits[r], g_text.bits + (GLYPH_BITMAP_SIZE - 1 - r) * GLYPH_BITMAP_SIZE,
           GLYPH_BITMAP_SIZE);
  return cell;
}

GlyphCell* glyph_for_size(int code, int size) {
  if (size == 20) return rasterise_glyph(code, 20);
  if (size != 32) return rasterise_glyph(code, 16);
  g_text.font.lfHeight = 2 * g_text.base_height;
  g_text.font.lfWidth = DOUBLE_SIZE_WIDTH;
  rebuild_font();
  GlyphCell* cell = rasterise_glyph(code, 32);
  select_text_font(g_text.font_index);
  return cell;
}

static int saturate(long long value) {
  if (value < INT_MIN) return INT_MIN;
  return value > INT_MAX ? INT_MAX : (int)value;
}

// Writes the glyph with its top left corner at page pixel (x, y). Coordinates are worked in
// 64 bits so that no column or line position, however large, overflows.
static void put_glyph(const GlyphCell* glyph, long long x, long long y, int colour,
                      int background) {
  int width = clamp_cell_size(glyph->width);
  int height = clamp_cell_size(glyph->height);
  ScreenPage* page = draw_page_base();
  if (!page) return;
  uint8_t face = (uint8_t)colour;
  uint8_t paper = (uint8_t)background;
  int opaque = background != -1;
  for (int r = 0; r < height; ++r) {
    long long j = y + r;
    if (j < 0) continue;
    if (j >= SCREEN_HEIGHT) break;
    // The page is bottom-up: row j lies (399 - j) rows into the pixels.
    uint8_t* row = page->pixels + (SCREEN_HEIGHT - 1 - j) * SCREEN_WIDTH;
    for (int c = 0; c < width; ++c) {
      long long px = x + c;
      if (px < 0) continue;
      if (px >= SCREEN_WIDTH) break;
      if (glyph->bits[r][c] == 0)
        row[px] = face;
      else if (opaque)
        row[px] = paper;
    }
  }
  invalidate_draw_rect(saturate(x), saturate(y), width, height);
}

void draw_glyph(const GlyphCell* glyph, int column, int y, int colour, int background) {
  if (!glyph) return;
  put_glyph(glyph, (long long)column * 8, y, colour, background);
}

void draw_text_string(const char* text, int column, int y, int colour, int background,
                      int size) {
  if (!text) return;
  const unsigned char* p = (const unsigned char*)text;
  int shadowed = colour >= SHADOWED_COLOUR;
  int shadow_colour = (colour >> 4) & 15;
  int face_colour = shadowed ? colour & 15 : colour;
  int face_background = shadowed ? -1 : background;
  int unit = size > 20 ? 2 : 1;
  long long line_start = column, at = column, top = y;

  while (*p) {
    if (*p == '\\') {
      unsigned char after = p[1];
      if (after == 0) break;  // a backslash at the end has nothing to escape
      if (after == 'n' || after == 'N') {
        at = line_start;
        top += TEXT_LINE_PITCH;
        p += 2;
      } else if (after == '\\') {
        p += 1;  // the second backslash is drawn below
      } else {
        p += 2;
      }
      if (*p == 0) break;
    }
    int code, advance;
    if (is_sjis_lead_byte(*p)) {
      if (p[1] == 0) break;
      code = p[0] * 256 + p[1];
      advance = 2 * unit;
      p += 2;
    } else {
      code = *p;
      advance = unit;
      p += 1;
    }
    GlyphCell* glyph = glyph_for_size(code, size);
    if (shadowed) put_glyph(glyph, at * 8 + 1, top + 1, shadow_colour, background);
    put_glyph(glyph, at * 8, top, face_colour, face_background);
    at += advance;
  }
}

void draw_text_now(int column, int y, int colour, int background, const char* text) {
  draw_text_string(text, column, y, colour, background, 16);
  UpdateWindow(main_window());
}

int text_font_index(void) { return g_text.font_index; }

const LOGFONTA* text_font_description(void) { return &g_text.font; }

const TEXTMETRICW* text_font_metrics(void) {
  if (!g_text.metrics_valid && g_text.dc) {
    GetTextMetricsW(g_text.dc, &g_text.metrics);
    g_text.metrics_valid = 1;
  }
  return &g_text.metrics;
}

int text_renderer_ready(void) { return g_text.dc != nullptr; }
