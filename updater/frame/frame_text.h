// Texts of the frame handed to Windows: cp932 converted to UTF-16, cut when too long rather
// than lost. Private to the frame.
#pragma once
#include <wchar.h>

enum { FRAME_TEXT_CHARS = 2048 };  // longest text a box shows, terminator included

// Converts cp932 `text` into `out` (room for `count` <= FRAME_TEXT_CHARS characters); a text
// that does not fit is cut, between characters, to at most count - 1 bytes.
void frame_wide_text(const char* text, wchar_t* out, int count);
