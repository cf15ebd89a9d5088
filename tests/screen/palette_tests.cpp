// The palette's window side on a direct-colour display: the display decisions, the fatal
// display end, the one-time set-up, applying entries and the palette messages.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include "frame.h"
#include "palette.h"
#include "robot.h"
#include "screen_fixture.h"
#include "test_window.h"

static const char COLOUR_TEXT[] = "256色以上を表示できる環境で実行してください";
static const char RESOLUTION_TEXT[] = "640*480以上の解像度で実行してください";

TEST(DisplayCheck, ModesAndFaultTexts) {
  struct Case {
    int raster_caps, palette_size, planes, bits, width, height;
    int mode;
    const char* text;
  } cases[] = {
      {RC_PALETTE, 16, 1, 4, 1024, 768, DISPLAY_UNSUITABLE, COLOUR_TEXT},
      {RC_PALETTE, 256, 1, 8, 1024, 768, DISPLAY_PALETTE, nullptr},
      {0, 0, 1, 16, 1024, 768, DISPLAY_DIRECT, nullptr},
      {0, 0, 1, 4, 1024, 768, DISPLAY_UNSUITABLE, COLOUR_TEXT},
      {0, 0, 4, 1, 1024, 768, DISPLAY_UNSUITABLE, COLOUR_TEXT},    // four planes of one bit
      {0, 0, 1, 32, 640, 400, DISPLAY_DIRECT, RESOLUTION_TEXT},    // rows count against 480
      {0, 0, 1, 32, 639, 480, DISPLAY_DIRECT, RESOLUTION_TEXT},
      {0, 0, 1, 32, 640, 480, DISPLAY_DIRECT, nullptr},
      {RC_PALETTE, 16, 1, 4, 320, 200, DISPLAY_UNSUITABLE, COLOUR_TEXT},  // colours first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.palette_size << " entries, " << c.planes << "x"
                                      << c.bits << " bits, " << c.width << "x" << c.height);
    int mode = display_mode_for(c.raster_caps, c.palette_size, c.planes, c.bits);
    EXPECT_EQ(mode, c.mode);
    const char* text = display_fault_text(mode, c.width, c.height);
    if (c.text)
      EXPECT_STREQ(text, c.text);
    else
      EXPECT_EQ(text, nullptr);
  }
}

static std::string hex_of(const char* text) {
  std::string hex;
  char digits[3];
  for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
    snprintf(digits, sizeof digits, "%02X", *p);
    hex += digits;
  }
  return hex;
}

// Run by the shutdown chain of a dying child: prints the boxes the robot answered.
static void print_boxes(void) {
  robot_wait(30000);
  for (int i = 0; i < robot_record_count(); i++)
    fprintf(stderr, "[box:%s|icon:%d]", hex_of(robot_record(i)->texts[0].sjis).c_str(),
            (int)robot_record(i)->icon);
  remove_system_end(print_boxes);
}

TEST(DisplayCheck, FaultShowsTheErrorBoxAndEndsWithMinusOne) {
  for (const char* text : {COLOUR_TEXT, RESOLUTION_TEXT}) {
    std::string expected = "^\\[box:" + hex_of(text) +
                           "\\|icon:" + std::to_string((int)ROBOT_ICON_ERROR) + "\\]$";
    EXPECT_EXIT(
        {
          test_main_window();
          add_system_end(print_boxes);
          int ok = IDOK;
          robot_start(&ok, 1, 30000);
          fatal_display_error(text);
        },
        ::testing::ExitedWithCode(-1), expected.c_str());
  }
}

class PaletteWindow : public ::testing::Test {
 protected:
  void SetUp() override { hwnd = shown_main_window(); }
  HWND hwnd = nullptr;
};

TEST_F(PaletteWindow, DisplayIsDirectColourAndASecondInitChangesNothing) {
  ASSERT_EQ(check_display(), DISPLAY_DIRECT);
  EXPECT_EQ(palette_object(), nullptr);
  set_palette_entry(16, 10, 20, 30);
  EXPECT_EQ(init_palette(100), 1);
  EXPECT_EQ(palette_entry_count(), UPDATER_PALETTE_ENTRIES);
  const PaletteEntry& entry = palette_tables()->logical.entries[16];
  EXPECT_EQ(entry.red, 20);
  EXPECT_EQ(entry.green, 10);
  EXPECT_EQ(entry.blue, 30);
  EXPECT_EQ(entry.flags, PALETTE_FLAG_RESERVED);
}

TEST_F(PaletteWindow, ApplyCopiesTheEntriesInUseAndInvalidatesTheClientArea) {
  set_palette_entry(30, 1, 2, 3);
  set_palette_entry(UPDATER_PALETTE_ENTRIES, 4, 5, 6);
  ValidateRect(hwnd, nullptr);
  EXPECT_NE(rgb_entry(30), 0x020103u);
  apply_palette();
  EXPECT_EQ(rgb_entry(30), 0x020103u);
  EXPECT_EQ(rgb_entry(UPDATER_PALETTE_ENTRIES), 0u);  // beyond the entries in use
  RECT update;
  ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
  EXPECT_EQ(update.left, 0);
  EXPECT_EQ(update.top, 0);
  EXPECT_EQ(update.right, 480);
  EXPECT_EQ(update.bottom, 304);
}

// A change the main window caused itself is left alone; the others bring the RGB table up
// to date (without a palette object nothing is remapped, so the result is 0).
TEST_F(PaletteWindow, PaletteMessages) {
  struct Case {
    const char* what;
    UINT msg;
    bool from_self;
    bool merged;
  } cases[] = {
      {"own palette change", WM_PALETTECHANGED, true, false},
      {"other window's change", WM_PALETTECHANGED, false, true},
      {"query new palette", WM_QUERYNEWPALETTE, false, true},
  };
  int value = 40;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    value += 3;
    set_palette_entry(40, value, value + 1, value + 2);
    uint32_t before = rgb_entry(40);
    HWND source = c.from_self ? hwnd : GetDesktopWindow();
    WPARAM wparam = c.msg == WM_PALETTECHANGED ? (WPARAM)source : 0;
    EXPECT_EQ(palette_proc(hwnd, c.msg, wparam, 0), c.merged ? 1 : 0);
    uint32_t expected = c.merged ? (uint32_t)(value + 1) << 16 | value << 8 | (value + 2) : before;
    EXPECT_EQ(rgb_entry(40), expected);
  }
  set_palette_entry(41, 7, 8, 9);
  EXPECT_EQ(SendMessageW(hwnd, WM_QUERYNEWPALETTE, 0, 0), 0);
  EXPECT_EQ(rgb_entry(41), 0x080709u);
}
