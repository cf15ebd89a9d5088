// Checks the built-in double-byte upper-case table against Windows itself: every lead and
// trail byte pair goes through LCMapStringA(LCMAP_UPPERCASE) under code page 932 and must
// come back as sjis_upper_double says. Runs under Wine in the Japanese locale.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include "sjis.h"

namespace {

// What LCMapStringA makes of the two bytes of `code`; -1 when it gives other than two bytes.
int windows_upper(unsigned code) {
  char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  char out[8] = {0};
  int n = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, in, 2, out, sizeof out);
  if (n != 2) return -1;
  return static_cast<unsigned char>(out[0]) << 8 | static_cast<unsigned char>(out[1]);
}

TEST(SjisUpperTable, AgreesWithWindowsForEveryBytePair) {
  ASSERT_EQ(932u, GetACP()) << "the tests must run with code page 932 (LC_ALL=ja_JP.UTF-8)";
  int checked = 0, mismatches = 0;
  std::string first;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (unsigned trail = 0x01; trail <= 0xFF; ++trail) {
      unsigned code = lead << 8 | trail;
      int expected = windows_upper(code);
      unsigned got = sjis_upper_double(static_cast<uint16_t>(code));
      ++checked;
      if (expected == int(got)) continue;
      if (++mismatches <= 8) {
        char text[64];
        snprintf(text, sizeof text, " %04X: table %04X, LCMapStringA %04X;", code, got,
                 expected < 0 ? 0xFFFF : unsigned(expected));
        first += text;
      }
    }
  }
  EXPECT_EQ(60 * 255, checked);
  EXPECT_EQ(0, mismatches) << "first mismatches:" << first;
}

TEST(SjisUpperTable, FullWidthLettersCompareEqualAsWindowsMapsThem) {
  ASSERT_EQ(932u, GetACP());
  struct Case { const char* lower; const char* capital; } cases[] = {
      {"\x82\x9A", "\x82\x79"},  // full-width z, Z
      {"\x82\x81", "\x82\x60"},  // full-width a, A
      {"\x83\xBF", "\x83\x9F"},  // Greek alpha, Alpha
      {"\x84\x70", "\x84\x40"},  // Cyrillic a, A
  };
  for (const Case& c : cases) {
    char trace[32];
    snprintf(trace, sizeof trace, "small letter %02X%02X", static_cast<unsigned char>(c.lower[0]),
             static_cast<unsigned char>(c.lower[1]));
    SCOPED_TRACE(trace);
    EXPECT_EQ(0, sjis_icompare(c.lower, c.capital));
    char lower_up[8] = {0}, capital_up[8] = {0};
    ASSERT_EQ(2, LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, c.lower, 2, lower_up, 8));
    ASSERT_EQ(2, LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, c.capital, 2, capital_up, 8));
    EXPECT_EQ(std::string(lower_up, 2), std::string(capital_up, 2));
    EXPECT_EQ(std::string(c.capital, 2), std::string(capital_up, 2));
  }
}

}  // namespace
