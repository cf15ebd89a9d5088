// The page painter: paints the shown screen page into the main window one pixel for one
// pixel, turns repaint requests in page coordinates into window coordinates, follows the
// client size and keeps the window on its pinned rectangle.
#include "screen_window.h"
#include <climits>
#include "app_window.h"
#include "palette.h"

static struct {
  int width, height;  // client size from the last WM_SIZE; 0 x 0 before the first
} g_client;

SIZE screen_client_size(void) {
  SIZE size = {g_client.width, g_client.height};
  return size;
}

// How far the page lies left of the window: the window shows a horizontally centred cut of
// the page. Negative for a window wider than the page, which then shows the page centred.
static int centring_offset(void) { return (SCREEN_WIDTH - g_client.width) / 2; }

static int clamp_to_int(long long value) {
  if (value < INT_MIN) return INT_MIN;
  if (value > INT_MAX) return INT_MAX;
  return (int)value;
}

// Callers pass unclipped rectangles, so the corners are worked in 64 bits. An empty
// rectangle marks nothing: the platform would turn a negative size round and repaint the
// mirrored area instead.
void invalidate_screen_rect(int x, int y, int w, int h) {
  HWND hwnd = main_window();
  if (!hwnd) return;  // a null window would invalidate every window of the desktop
  if (w <= 0 || h <= 0) return;
  long long offset = centring_offset();
  RECT rect;
  rect.left = clamp_to_int((long long)x - offset);
  rect.top = y;
  rect.right = clamp_to_int((long long)x + w - offset);
  rect.bottom = clamp_to_int((long long)y + h);
  InvalidateRect(hwnd, &rect, FALSE);
}

void repaint_screen(void) {
  HWND hwnd = main_window();
  if (!hwnd) return;
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateWindow(hwnd);
}

void register_screen_paint(void) { AddWndPorc(screen_paint_proc); }

// A client area larger than a page shows the whole page, centred horizontally and at the
// top as the smaller window's cut is; what lies beside or below it is painted black.
static void paint_margins(HDC dc, int left, int width, int height) {
  HBRUSH black = (HBRUSH)GetStockObject(BLACK_BRUSH);
  RECT rect;
  if (left > 0) {
    SetRect(&rect, 0, 0, left, g_client.height);
    FillRect(dc, &rect, black);
  }
  if (left + width < g_client.width) {
    SetRect(&rect, left + width, 0, g_client.width, g_client.height);
    FillRect(dc, &rect, black);
  }
  if (height < g_client.height) {
    SetRect(&rect, left, height, left + width, g_client.height);
    FillRect(dc, &rect, black);
  }
}

static void paint_screen(HWND hwnd) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  select_paint_palette(dc);
  ScreenPage* page = screen_page(select_shown_page(-1));
  if (page && g_client.width > 0 && g_client.height > 0) {
    // The page's colour table follows the palette on every paint.
    int mode = check_display();
    copy_page_colours(page->colours, mode);
    UINT usage = mode == DISPLAY_PALETTE ? DIB_PAL_COLORS : DIB_RGB_COLORS;
    int offset = centring_offset();
    int source_x = offset > 0 ? offset : 0;
    int dest_x = offset < 0 ? -offset : 0;
    int width = g_client.width < SCREEN_WIDTH ? g_client.width : SCREEN_WIDTH;
    int height = g_client.height < SCREEN_HEIGHT ? g_client.height : SCREEN_HEIGHT;
    SetStretchBltMode(dc, COLORONCOLOR);
    // The page is stored bottom-up, so a source y of 400 - height selects its top rows.
    StretchDIBits(dc, dest_x, 0, width, height, source_x, SCREEN_HEIGHT - height, width, height,
                  page->pixels, (const BITMAPINFO*)page->header, usage, SRCCOPY);
    paint_margins(dc, dest_x, width, height);
  }
  restore_paint_palette();
  EndPaint(hwnd, &paint);
}

int screen_paint_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 1;
    case WM_MOVE:
      return 1;
    case WM_SIZE:
      g_client.width = LOWORD(lparam);
      g_client.height = HIWORD(lparam);
      return 1;
    case WM_PAINT:
      paint_screen(hwnd);
      return 1;
    case WM_WINDOWPOSCHANGING: {
      RECT pinned;
      // A minimised window is left to the system; restored, it comes back to the pinned place.
      if (!window_pinned(&pinned) || IsIconic(hwnd)) return 0;
      // The window can be neither moved nor resized once pinned.
      WINDOWPOS* pos = (WINDOWPOS*)lparam;
      pos->x = pinned.left;
      pos->y = pinned.top;
      pos->cx = pinned.right - pinned.left;
      pos->cy = pinned.bottom - pinned.top;
      return 1;
    }
    case WM_SYSCOMMAND:
      // Maximising is refused as moving is: the window has no maximise box, but another
      // program can still send the command.
      return (wparam & 0xFFF0) == SC_MAXIMIZE && window_pinned(nullptr);
    default:
      return 0;
  }
}
