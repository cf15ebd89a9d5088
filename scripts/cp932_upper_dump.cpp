// Prints every double-byte code whose LCMapStringA(LCMAP_UPPERCASE) result under code page 932
// differs from the code itself, as "CODE RESULT" in hex, one per line. Run under Wine by
// scripts/gen-sjis-upper-table to regenerate common/sjis_upper_table.cpp.
#include <windows.h>
#include <stdio.h>

int main() {
  if (GetACP() != 932) {
    fprintf(stderr, "the ANSI code page is %u, not 932\n", GetACP());
    return 1;
  }
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 1; trail <= 0xFF; ++trail) {
      char in[2] = {(char)lead, (char)trail}, out[8] = {0};
      int n = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, in, 2, out, sizeof out);
      if (n != 2) {
        fprintf(stderr, "%02X%02X maps to %d bytes\n", lead, trail, n);
        return 1;
      }
      unsigned code = lead << 8 | trail, up = (unsigned char)out[0] << 8 | (unsigned char)out[1];
      if (up != code) printf("%04X %04X\n", code, up);
    }
  }
  return 0;
}
