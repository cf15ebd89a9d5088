// The Windows side of the palette: the one display check, the palette object of a
// palette-based display with the messages that realize and animate it, and the selection of
// that palette around each paint. On a direct-colour display the entries reach the screen
// through the RGB colour table that the page painter hands over with the page.
#include "palette.h"
#include <cstddef>
#include "app_window.h"

// The tables are handed to the platform as they lie.
static_assert(sizeof(PaletteEntry) == sizeof(PALETTEENTRY), "PALETTEENTRY layout");
static_assert(offsetof(LogicalPalette, version) == offsetof(LOGPALETTE, palVersion),
              "LOGPALETTE layout");
static_assert(offsetof(LogicalPalette, count) == offsetof(LOGPALETTE, palNumEntries),
              "LOGPALETTE layout");
static_assert(offsetof(LogicalPalette, entries) == offsetof(LOGPALETTE, palPalEntry),
              "LOGPALETTE layout");

enum { MIN_WIDTH = 640, MIN_HEIGHT = 480, MIN_PALETTE_SIZE = 256, MIN_BITS = 8 };

static struct {
  int display_checked;  // check_display has decided the mode
  int mode;             // DISPLAY_DIRECT or DISPLAY_PALETTE once decided
  int initialised;      // init_palette has run
  int init_result;      // what it returned
  HPALETTE palette;     // palette object (palette-based display only)
  HDC paint_dc;         // where select_paint_palette selected it
  HPALETTE replaced;    // the palette it replaced there
} g_palette;

int display_mode_for(int raster_caps, int palette_size, int planes, int bits_per_pixel) {
  if (raster_caps & RC_PALETTE)
    return palette_size < MIN_PALETTE_SIZE ? DISPLAY_UNSUITABLE : DISPLAY_PALETTE;
  // Worked in 64 bits: the product of two device answers is not trusted to fit an int.
  return (long long)planes * bits_per_pixel < MIN_BITS ? DISPLAY_UNSUITABLE : DISPLAY_DIRECT;
}

const char* display_fault_text(int mode, int width, int height) {
  if (mode == DISPLAY_UNSUITABLE) return "256色以上を表示できる環境で実行してください";
  // Measured against 480 rows although a page has 400.
  if (width < MIN_WIDTH || height < MIN_HEIGHT) return "640*480以上の解像度で実行してください";
  return nullptr;
}

void fatal_display_error(const char* text) {
  error_box(text);
  app_exit(-1);
}

int check_display(void) {
  if (g_palette.display_checked) return g_palette.mode;
  HWND hwnd = main_window();
  HDC dc = GetDC(hwnd);
  int width = GetDeviceCaps(dc, HORZRES);
  int height = GetDeviceCaps(dc, VERTRES);
  int mode = display_mode_for(GetDeviceCaps(dc, RASTERCAPS), GetDeviceCaps(dc, SIZEPALETTE),
                              GetDeviceCaps(dc, PLANES), GetDeviceCaps(dc, BITSPIXEL));
  ReleaseDC(hwnd, dc);
  const char* fault = display_fault_text(mode, width, height);
  if (fault) fatal_display_error(fault);
  g_palette.mode = mode;
  g_palette.display_checked = 1;
  return mode;
}

HPALETTE palette_object(void) { return g_palette.palette; }

int init_palette(int count) {
  if (g_palette.initialised) return g_palette.init_result;
  g_palette.initialised = 1;
  reset_palette_tables(count);
  if (check_display() == DISPLAY_PALETTE) {
    g_palette.palette = CreatePalette((LOGPALETTE*)&palette_tables()->logical);
    g_palette.init_result = g_palette.palette ? 0 : -1;
    add_system_end(release_palette);
  } else {
    g_palette.init_result = 1;
  }
  AddWndPorc(palette_proc);
  return g_palette.init_result;
}

void apply_palette(void) {
  HWND hwnd = main_window();
  if (g_palette.palette) {
    // palette_proc animates the entries that changed, inside this call.
    SendMessageW(hwnd, WM_QUERYNEWPALETTE, 0, 0);
    return;
  }
  copy_entries_to_rgb();
  // A null window would invalidate every window of the desktop.
  if (hwnd) InvalidateRect(hwnd, nullptr, FALSE);
}

int palette_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  (void)lparam;
  if (msg != WM_QUERYNEWPALETTE && !(msg == WM_PALETTECHANGED && (HWND)wparam != hwnd))
    return 0;
  HPALETTE palette = g_palette.palette;
  // Without a palette object there is nothing to select or realize: no entry is remapped.
  HDC dc = nullptr;
  HPALETTE previous = nullptr;
  UINT remapped = 0;
  if (palette) {
    dc = GetDC(hwnd);
    previous = SelectPalette(dc, palette, FALSE);
    remapped = RealizePalette(dc);
    if (remapped == GDI_ERROR) remapped = 0;  // a failed realize remapped nothing
  }
  int count = palette_entry_count();
  if (merge_changed_entries() && palette)
    AnimatePalette(palette, 0, (UINT)count, (const PALETTEENTRY*)palette_tables()->logical.entries);
  if (remapped) InvalidateRect(hwnd, nullptr, TRUE);
  if (palette) {
    if (previous) SelectPalette(dc, previous, TRUE);
    ReleaseDC(hwnd, dc);
  }
  if (msg == WM_QUERYNEWPALETTE) set_wnd_proc_result(remapped ? 1 : 0);
  return 1;
}

void select_paint_palette(HDC dc) {
  if (!g_palette.palette) return;
  g_palette.paint_dc = dc;
  g_palette.replaced = SelectPalette(dc, g_palette.palette, FALSE);
  RealizePalette(dc);
}

void restore_paint_palette(void) {
  if (!g_palette.palette || !g_palette.replaced) return;
  SelectPalette(g_palette.paint_dc, g_palette.replaced, FALSE);
  g_palette.paint_dc = nullptr;
  g_palette.replaced = nullptr;
}

// Also leaves the chain when palette creation had failed, so no callback of a component
// that holds nothing stays behind.
void release_palette(void) {
  if (g_palette.palette) {
    if (g_palette.replaced) restore_paint_palette();
    DeleteObject(g_palette.palette);
    g_palette.palette = nullptr;
    g_palette.replaced = nullptr;
    g_palette.paint_dc = nullptr;
  }
  remove_system_end(release_palette);
}
