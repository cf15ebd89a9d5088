// The crossing between the kit's Shift-JIS (code page 932) texts and the UTF-8 of Linux file
// names and command lines, through iconv with explicit encodings, never the locale's. The
// POSIX counterpart of wide_text.h.
#pragma once
#include <cstddef>

// Converts the NUL-terminated cp932 `text` into UTF-8 in `out` (room for `size` bytes,
// terminator included). Returns the number of bytes written without the terminator, or -1
// when `text` is not valid cp932 or the result does not fit; `out` is then empty.
int cp932_to_utf8(const char* text, char* out, size_t size);

// As cp932_to_utf8, for a text to show: a byte sequence that is not valid cp932 becomes
// U+FFFD and the conversion goes on. -1 only when the result does not fit (`out` empty).
int cp932_to_utf8_shown(const char* text, char* out, size_t size);

// Converts the NUL-terminated UTF-8 `text` into cp932 bytes in `out`. Returns the number of
// bytes written without the terminator, or -1 when `text` is not valid UTF-8, a character has
// no cp932 form, or the result does not fit; `out` is then empty. A character whose cp932 form
// reads back as another one fails too ("〜" and "～" share 81 60, which reads back as "～"):
// such a text would name a different file once converted back.
int utf8_to_cp932(const char* text, char* out, size_t size);

// 1 when the NUL-terminated `text` is made of whole UTF-8 characters, else 0.
int is_utf8(const char* text);

// As utf8_to_cp932, for a text to show: a character without a cp932 form, and a byte that
// starts no valid UTF-8 character, become "?". The result is never longer than `text`, so
// strlen(text) + 1 bytes of room always suffice. Returns the bytes written, or -1 when
// `out` is too small (`out` then holds what fitted, cut between characters).
int utf8_to_cp932_shown(const char* text, char* out, size_t size);
