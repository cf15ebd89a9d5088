// Decimal text to int with the rules of atoi, done here so that the result depends neither on
// the C library's locale nor on its behaviour when the number does not fit an int.
#pragma once

// Skips leading white space (space, tab, line feed, vertical tab, form feed, carriage
// return), takes an optional "+" or "-" and then the decimal digits up to the first other
// byte. Text that does not start with a number gives 0. A number beyond the range of int
// gives INT_MAX or INT_MIN, as the Windows run-time's atoi does.
int text_atoi(const char* text);
