// The page painter on a direct-colour display, read back from the shown main window: what
// the client area shows, when it is repainted, how page rectangles map to the window, the
// pinned window and the messages the painter acts on.
#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <cstring>
#include "app_window.h"
#include "palette.h"
#include "screen_fixture.h"
#include "screen_window.h"
#include "test_window.h"

enum { CLIENT_WIDTH = 480, CLIENT_HEIGHT = 304, CUT_LEFT = 80, BEYOND_ENTRIES = 240 };

class ScreenWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    hwnd = shown_main_window();
    select_draw_page(0);
    select_shown_page(0);
  }
  uint32_t shown_at(int x, int y) { return capture_client(hwnd).at(x, y); }
  HWND hwnd = nullptr;
};

// Every page pixel gets an index from a pattern no shift or flip of the cut reproduces;
// one stripe uses an index beyond the entries in use.
static int pattern_index(int x, int y) {
  if (x >= 300 && x < 310) return y & 1 ? BEYOND_ENTRIES : 255;
  return 16 + (x * 7 + y * 13) % 211;
}

TEST_F(ScreenWindow, PaintShowsTheCentredTopCutPixelForPixel) {
  for (int i = 16; i < UPDATER_PALETTE_ENTRIES; i++) set_test_entry(i);
  set_palette_entry(BEYOND_ENTRIES, 255, 255, 255);
  set_palette_entry(255, 255, 255, 255);
  apply_palette();
  for (int y = 0; y < 400; y++)
    for (int x = 0; x < 640; x++) *draw_page_pixel(x, y) = (uint8_t)pattern_index(x, y);
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
  ClientPixels shown = capture_client(hwnd);
  ASSERT_EQ(shown.width, CLIENT_WIDTH);
  ASSERT_EQ(shown.height, CLIENT_HEIGHT);
  int wrong = 0;
  for (int y = 0; y < CLIENT_HEIGHT; y++) {
    for (int x = 0; x < CLIENT_WIDTH; x++) {
      int index = pattern_index(x + CUT_LEFT, y);
      uint32_t expected = index < UPDATER_PALETTE_ENTRIES ? test_colour(index) : 0;
      if (shown.at(x, y) != expected && wrong++ < 5)
        ADD_FAILURE() << "window (" << x << ", " << y << ") shows " << std::hex << shown.at(x, y)
                      << ", page index " << std::dec << index << " is " << std::hex << expected;
    }
  }
  EXPECT_EQ(wrong, 0);
}

// A client area wider than the page shows the whole page centred, black beside it. The
// window itself stays 480 x 304, so only the left part of that layout is seen.
TEST_F(ScreenWindow, WiderClientShowsTheWholePageCentred) {
  for (int i = 16; i < UPDATER_PALETTE_ENTRIES; i++) set_test_entry(i);
  apply_palette();
  for (int y = 0; y < 400; y++)
    for (int x = 0; x < 640; x++) *draw_page_pixel(x, y) = (uint8_t)(16 + (x * 7 + y * 13) % 211);
  screen_paint_proc(hwnd, WM_SIZE, 0, MAKELPARAM(700, 420));
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
  ClientPixels shown = capture_client(hwnd);
  screen_paint_proc(hwnd, WM_SIZE, 0, MAKELPARAM(CLIENT_WIDTH, CLIENT_HEIGHT));
  int wrong = 0;
  for (int y = 0; y < CLIENT_HEIGHT; y++)
    for (int x = 0; x < CLIENT_WIDTH; x++)
      wrong += shown.at(x, y) != (x < 30 ? 0 : test_colour(16 + ((x - 30) * 7 + y * 13) % 211));
  EXPECT_EQ(wrong, 0);
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
}

TEST_F(ScreenWindow, EntriesShowOnlyOnceApplied) {
  set_palette_entry(20, 0, 0x80, 0);
  apply_palette();
  fill_screen_rect(0, 0, 640, 400, 20);
  UpdateWindow(hwnd);
  EXPECT_EQ(shown_at(10, 10), 0x800000u);
  set_palette_entry(20, 0x40, 0, 0);
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
  EXPECT_EQ(shown_at(10, 10), 0x800000u);
  apply_palette();
  UpdateWindow(hwnd);
  EXPECT_EQ(shown_at(10, 10), 0x004000u);
}

// Levels 0..15 are level x 17; the entry shows at the next paint without a further apply.
TEST_F(ScreenWindow, PaletteLevelsShowAtOnce) {
  struct Case {
    int index, green, red, blue;
    uint32_t shown;
  } cases[] = {{15, 15, 15, 15, 0xFFFFFF}, {0, 0, 0, 0, 0x000000}, {16, 1, 2, 3, 0x221133}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    set_palette_entry(c.index, 0x55, 0x66, 0x77);
    apply_palette();
    fill_screen_rect(CUT_LEFT, 0, 8, 8, c.index);
    UpdateWindow(hwnd);
    ASSERT_EQ(shown_at(2, 2), 0x665577u);
    set_palette_levels(c.index, c.green, c.red, c.blue);
    const PaletteEntry& entry = palette_tables()->logical.entries[c.index];
    EXPECT_EQ((uint32_t)entry.red << 16 | entry.green << 8 | entry.blue, c.shown);
    EXPECT_EQ(entry.flags, PALETTE_FLAG_RESERVED);
    UpdateWindow(hwnd);
    EXPECT_EQ(shown_at(2, 2), c.shown);
  }
}

TEST_F(ScreenWindow, ShowingTheOtherPageRepaintsAtOnceTheSamePageDoesNot) {
  set_test_entry(21);
  set_test_entry(22);
  apply_palette();
  fill_screen_rect(0, 0, 640, 400, 21);
  select_draw_page(1);
  fill_screen_rect(0, 0, 640, 400, 22);
  UpdateWindow(hwnd);
  EXPECT_EQ(shown_at(100, 100), test_colour(21));

  EXPECT_EQ(select_shown_page(3), 1);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
  ClientPixels shown = capture_client(hwnd);
  EXPECT_EQ(shown.at(0, 0), test_colour(22));
  EXPECT_EQ(shown.at(479, 303), test_colour(22));

  // Pixels changed behind the painter's back stay unseen: selecting the page again repaints
  // nothing.
  memset(screen_page(1)->pixels, 21, sizeof screen_page(1)->pixels);
  EXPECT_EQ(select_shown_page(1), 1);
  EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
  EXPECT_EQ(shown_at(100, 100), test_colour(22));
}

// Page rectangles move left by the centring offset (80 at a client width of 480); sizes
// beyond the int range reach the window's edge instead of wrapping round.
TEST_F(ScreenWindow, RepaintRequestsMapToTheWindow) {
  struct Case {
    int x, y, w, h;
    RECT expected;  // empty: nothing to repaint
  } cases[] = {
      {100, 5, 10, 7, {20, 5, 30, 12}},
      {0, 0, 640, 400, {0, 0, 480, 304}},
      {0, 0, 80, 10, {}},                  // left of the cut
      {100, 0, INT_MAX, 10, {20, 0, 480, 10}},
      {200, 100, 50, INT_MAX, {120, 100, 170, 304}},
      {INT_MAX, 0, INT_MAX, 10, {}},
      {100, 0, -50, 10, {}},               // an empty rectangle is nothing to repaint
      {100, 20, 10, -5, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << ", " << c.y << ", " << c.w << ", " << c.h);
    ValidateRect(hwnd, nullptr);
    invalidate_screen_rect(c.x, c.y, c.w, c.h);
    RECT update;
    BOOL pending = GetUpdateRect(hwnd, &update, FALSE);
    EXPECT_EQ(pending, !IsRectEmpty(&c.expected));
    if (pending) {
      EXPECT_EQ(update.left, c.expected.left);
      EXPECT_EQ(update.top, c.expected.top);
      EXPECT_EQ(update.right, c.expected.right);
      EXPECT_EQ(update.bottom, c.expected.bottom);
    }
  }
  // A fill of page x 100..109 on the shown page repaints window x 20..29.
  ValidateRect(hwnd, nullptr);
  fill_screen_rect(100, 40, 10, 3, 21);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
  EXPECT_EQ(update.left, 20);
  EXPECT_EQ(update.right, 30);
  EXPECT_EQ(update.top, 40);
  EXPECT_EQ(update.bottom, 43);
  UpdateWindow(hwnd);
}

TEST_F(ScreenWindow, PinnedWindowNeitherMovesNorResizes) {
  RECT before;
  GetWindowRect(hwnd, &before);
  // Before pinning the proposal stays as it is and the message is left to others.
  WINDOWPOS pos = {hwnd, nullptr, 1, 2, 3, 4, 0};
  EXPECT_EQ(screen_paint_proc(hwnd, WM_WINDOWPOSCHANGING, 0, (LPARAM)&pos), 0);
  EXPECT_EQ(pos.x, 1);
  EXPECT_EQ(pos.cy, 4);

  pin_window_rect(before);
  SetWindowPos(hwnd, nullptr, before.left + 40, before.top + 30, 200, 100,
               SWP_NOZORDER | SWP_NOACTIVATE);
  RECT after;
  GetWindowRect(hwnd, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(screen_client_size().cx, CLIENT_WIDTH);
  EXPECT_EQ(screen_client_size().cy, CLIENT_HEIGHT);
}

// Minimised, the window is left to the system; restored, it is back on its pinned rectangle.
// Maximising is refused.
TEST_F(ScreenWindow, PinnedWindowMinimisesAndRestoresButDoesNotMaximise) {
  RECT before;
  GetWindowRect(hwnd, &before);
  pin_window_rect(before);
  ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
  pump_messages();
  ASSERT_TRUE(IsIconic(hwnd));
  WINDOWPOS pos = {hwnd, nullptr, 1, 2, 3, 4, 0};
  EXPECT_EQ(screen_paint_proc(hwnd, WM_WINDOWPOSCHANGING, 0, (LPARAM)&pos), 0);
  EXPECT_EQ(pos.x, 1);
  EXPECT_EQ(pos.cy, 4);
  ShowWindow(hwnd, SW_RESTORE);
  pump_messages();
  RECT rect;
  GetWindowRect(hwnd, &rect);
  EXPECT_FALSE(IsIconic(hwnd));
  EXPECT_TRUE(EqualRect(&before, &rect));
  EXPECT_EQ(screen_client_size().cx, CLIENT_WIDTH);
  EXPECT_EQ(screen_client_size().cy, CLIENT_HEIGHT);

  SendMessageW(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_FALSE(IsZoomed(hwnd));
  GetWindowRect(hwnd, &rect);
  EXPECT_TRUE(EqualRect(&before, &rect));
}

TEST_F(ScreenWindow, DestroyPostsAQuitWithCodeZero) {
  EXPECT_EQ(screen_paint_proc(hwnd, WM_DESTROY, 0, 0), 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
}

// Run in a fresh process (a death-test child), where the window was shown before the
// painter joined its message chain and so the painter has seen no WM_SIZE: the paint
// validates the window but draws nothing over what was there.
static void paint_before_any_size(void) {
  HWND hwnd = test_main_window();
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd);
  HDC dc = GetDC(hwnd);
  RECT all = {0, 0, CLIENT_WIDTH, CLIENT_HEIGHT};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &all, red);
  ReleaseDC(hwnd, dc);
  DeleteObject(red);
  init_palette(UPDATER_PALETTE_ENTRIES);
  init_screen_pages();
  set_palette_entry(16, 255, 255, 255);
  apply_palette();
  fill_screen_rect(0, 0, 640, 400, 16);
  UpdateWindow(hwnd);
  RECT update;
  fprintf(stderr, "[size:%dx%d][pending:%d][pixel:%06X]", (int)screen_client_size().cx,
          (int)screen_client_size().cy, (int)GetUpdateRect(hwnd, &update, FALSE),
          capture_client(hwnd).at(240, 150));
  exit(0);
}

TEST(ScreenPaintBeforeSize, DrawsNothing) {
  EXPECT_EXIT(paint_before_any_size(), ::testing::ExitedWithCode(0),
              "^\\[size:0x0\\]\\[pending:0\\]\\[pixel:FF0000\\]$");
}
