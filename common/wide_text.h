// The one crossing between the kit's Shift-JIS (code page 932) texts and the UTF-16 of the
// Windows wide-character functions. Every text and name handed to Windows goes through these,
// so the programs behave the same whatever the system's ANSI code page is. Windows only.
#pragma once

enum WideMode {
  WIDE_NAME,  // a file, registry or class name: bytes that are not valid Shift-JIS fail
  WIDE_TEXT   // a text to show: such bytes become a replacement character
};

// Converts the NUL-terminated cp932 `text` into `out` (room for `count` wide characters,
// terminator included). Returns the number of characters written without the terminator,
// or -1 when the text does not fit or (WIDE_NAME) is not valid; `out` is then empty.
int cp932_to_wide(const char* text, wchar_t* out, int count, WideMode mode);

// Converts the NUL-terminated UTF-16 `text` into cp932 bytes in `out` (room for `size` bytes,
// terminator included). Returns the number of bytes written without the terminator, or -1
// when it does not fit or a character has no cp932 form; `out` is then empty.
int wide_to_cp932(const wchar_t* text, char* out, int size);

// As wide_to_cp932, for a text to show: a character without a cp932 form becomes "?". Two
// bytes for each character of `text`, and one more, always suffice. Returns the bytes written
// without the terminator, or -1 when it does not fit; `out` is then empty.
int wide_to_cp932_shown(const wchar_t* text, char* out, int size);
