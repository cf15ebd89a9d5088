// atoi's rules without the C library: white space, sign, digits, saturation on overflow.
#include "text_number.h"
#include <climits>

int text_atoi(const char* text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  // Counted as a magnitude up to one past INT_MAX, so INT_MIN itself still fits.
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > limit) {
      value = limit;
      break;
    }
  }
  return static_cast<int>(negative ? -value : value);
}
