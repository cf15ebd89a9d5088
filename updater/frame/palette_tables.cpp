// The palette tables and the operations on them that need no display.
#include "palette_tables.h"
#include <cstring>
#include "display.h"

static PaletteTables g_tables;
static int g_count;

PaletteTables* palette_tables(void) { return &g_tables; }

int palette_entry_count(void) { return g_count; }

void reset_palette_tables(int count) {
  if (count < 0) count = 0;
  if (count > PALETTE_TABLE_SIZE) count = PALETTE_TABLE_SIZE;
  g_count = count;
  memset(&g_tables, 0, sizeof g_tables);
  g_tables.logical.version = PALETTE_VERSION;
  g_tables.logical.count = (uint16_t)count;
  for (int i = 0; i < PALETTE_TABLE_SIZE; ++i) {
    PaletteEntry* entry = &g_tables.logical.entries[i];
    entry->red = entry->green = entry->blue = 255;
    entry->flags = PALETTE_FLAG_RESERVED | PALETTE_FLAG_NOCOLLAPSE;
    g_tables.index[i] = (uint16_t)i;
  }
}

void set_palette_entry(int index, int green, int red, int blue) {
  if (index < 0 || index >= PALETTE_TABLE_SIZE) return;
  PaletteEntry* entry = &g_tables.logical.entries[index];
  entry->red = (uint8_t)red;
  entry->green = (uint8_t)green;
  entry->blue = (uint8_t)blue;
  entry->flags = PALETTE_FLAG_RESERVED;
}

static int level_value(int level) { return (level & 15) * 17; }  // 0x00, 0x11 ... 0xFF

void set_palette_levels(int index, int green_level, int red_level, int blue_level) {
  set_palette_entry(index, level_value(green_level), level_value(red_level),
                    level_value(blue_level));
  apply_palette();
}

void copy_entries_to_rgb(void) {
  for (int i = 0; i < g_count; ++i) {
    g_tables.rgb[i].red = g_tables.logical.entries[i].red;
    g_tables.rgb[i].green = g_tables.logical.entries[i].green;
    g_tables.rgb[i].blue = g_tables.logical.entries[i].blue;
  }
}

int merge_changed_entries(void) {
  int changed = 0;
  for (int i = 0; i < g_count; ++i) {
    const PaletteEntry* entry = &g_tables.logical.entries[i];
    RgbQuad* rgb = &g_tables.rgb[i];
    int differ = (entry->red != rgb->red) + (entry->green != rgb->green) +
                 (entry->blue != rgb->blue);
    if (differ) {
      rgb->red = entry->red;
      rgb->green = entry->green;
      rgb->blue = entry->blue;
      changed += differ;
    }
  }
  return changed;
}

void copy_page_colours(uint8_t* table, int mode) {
  if (mode == DISPLAY_PALETTE)
    memcpy(table, g_tables.index, sizeof g_tables.index[0] * g_count);
  else
    memcpy(table, g_tables.rgb, sizeof g_tables.rgb[0] * g_count);
}
