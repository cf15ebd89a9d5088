// The colour tables behind the screen's 8-bit pixel indices, kept for both kinds of display:
// the logical palette record (what a palette-based display animates), the RGB colour table
// (what a direct-colour display is painted with, and on a palette display the record of the
// colours last handed over) and the index table (the pages' colour table on a palette display).
// Portable: the Windows side (palette.cpp) owns the palette object and the display check.
#pragma once
#include <cstdint>

enum {
  PALETTE_TABLE_SIZE = 256,
  UPDATER_PALETTE_ENTRIES = 236,  // entries the updater reserves: 0..235
  PALETTE_VERSION = 0x300,
  PALETTE_FLAG_RESERVED = 0x01,   // PC_RESERVED: the entry may be animated
  PALETTE_FLAG_NOCOLLAPSE = 0x04  // PC_NOCOLLAPSE
};

// The kinds of display. An unsuitable display never gets this far: the check ends the program.
enum DisplayMode { DISPLAY_DIRECT = 0, DISPLAY_PALETTE = 1, DISPLAY_UNSUITABLE = 2 };

// Laid out as the platform's PALETTEENTRY, RGBQUAD and LOGPALETTE.
struct PaletteEntry { uint8_t red, green, blue, flags; };
struct RgbQuad { uint8_t blue, green, red, reserved; };
struct LogicalPalette {
  uint16_t version;
  uint16_t count;
  PaletteEntry entries[PALETTE_TABLE_SIZE];
};

struct PaletteTables {
  LogicalPalette logical;
  RgbQuad rgb[PALETTE_TABLE_SIZE];
  uint16_t index[PALETTE_TABLE_SIZE];  // entry i holds i
};

PaletteTables* palette_tables(void);

// The initial contents for `count` entries: every logical entry white with the reserved and
// no-collapse flags, the RGB table black, the index table 0..255.
void reset_palette_tables(int count);
// Entries in use (0 before the tables were set up).
int palette_entry_count(void);

// Sets logical entry `index` (note the order green, red, blue) with the reserved flag; shows
// nothing until apply_palette. An index outside 0..255 is ignored.
void set_palette_entry(int index, int green, int red, int blue);
// The same with 16-step levels (0..15, level x 17), then apply_palette.
void set_palette_levels(int index, int green_level, int red_level, int blue_level);

// Copies red, green and blue of the entries in use into the RGB table (reserved bytes stay).
void copy_entries_to_rgb(void);
// Where an entry in use differs from the RGB table, copies it there. Returns the number of
// components (red, green, blue) that differed.
int merge_changed_entries(void);

// Writes the pages' colour table for `mode`: the first count 16-bit indices on a palette
// display, else the first count RGB records. `table` has room for 256 RGB records.
void copy_page_colours(uint8_t* table, int mode);
