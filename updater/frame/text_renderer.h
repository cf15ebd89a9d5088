// Draws Shift-JIS text into the draw page in palette colours. Each character is rasterised
// by the font engine into a private 64 x 64 glyph bitmap and written into the page pixel by
// pixel, over an opaque background or transparently, optionally with a one-pixel shadow.
#pragma once
#include <windows.h>

enum { FONT_TABLE_SIZE = 5, GLYPH_BITMAP_SIZE = 64, TEXT_LINE_PITCH = 20 };

// The last glyph rasterised: row 0 is the top; a byte 0 is ink.
struct GlyphCell {
  int width;
  int height;
  int code;
  unsigned char bits[GLYPH_BITMAP_SIZE][GLYPH_BITMAP_SIZE];
};

// Registers the shutdown callback, selects font 0 and creates the glyph bitmap and its device
// context.
void init_text_renderer(void);
// Makes FontTable[index] (0..4) the current font; returns index, or -1 for an index outside
// the table, which leaves the font as it was.
int select_text_font(int index);
// Rasterises `code` (a byte, or lead byte x 256 + trail byte) for size 16, 20 or 32. The cell
// is cut to the 64 x 64 glyph bitmap when the font's metrics are larger; it is empty when the
// renderer is not set up.
GlyphCell* glyph_for_size(int code, int size);
// Writes a glyph into the draw page at x = column x 8; background -1 is transparent. Only the
// low bytes of the colours are written; cells larger than 64 x 64 are cut to that size.
void draw_glyph(const GlyphCell* glyph, int column, int y, int colour, int background);
// Draws a zero-terminated Shift-JIS string: "\n" breaks the line (20 pixels), "\\" is a
// backslash, colour 256 and above draws face (colour & 15) over a shadow ((colour >> 4) & 15).
// A lead byte or a backslash just before the terminator ends the drawing.
void draw_text_string(const char* text, int column, int y, int colour, int background, int size);
// draw_text_string at size 16, then paints the window at once.
void draw_text_now(int column, int y, int colour, int background, const char* text);
// Shutdown callback: deletes the font, the glyph bitmap and the device context.
void release_text_renderer(void);

// The state behind the glyphs: the FontTable entry last selected, the current font
// description (the table entry, or its double-size form while a size-32 glyph is rasterised),
// the current font's metrics (fetched if a font change made them stale), and 1 while the
// device context exists.
int text_font_index(void);
const LOGFONTA* text_font_description(void);
const TEXTMETRICW* text_font_metrics(void);
int text_renderer_ready(void);
