// Console text for the kit's command-line tools: the kit's names and texts are cp932 bytes;
// they reach the user as UTF-8 on Linux and through the wide console API on Windows (UTF-8
// bytes when the stream is redirected to a file or a pipe).
#pragma once
#include <cstddef>
#include <cstdio>

// Converts the cp932 `text` to UTF-8 in `out` (room for `size` bytes, terminator included).
// A byte sequence that is not valid cp932 becomes U+FFFD and the conversion goes on. Returns
// the bytes written without the terminator, or -1 when the result does not fit (`out` empty).
int console_cp932_to_utf8(const char* text, char* out, size_t size);

// Converts the UTF-8 `text` to cp932 in `out`. Returns the bytes written without the
// terminator, or -1 when the text is not valid UTF-8, holds a character cp932 has no form for,
// or does not fit (`out` is then empty).
int console_utf8_to_cp932(const char* text, char* out, size_t size);

// Writes UTF-8 text to `stream` (stdout or stderr, or any file): to a Windows console as
// UTF-16, everywhere else as the bytes.
void console_write_utf8(FILE* stream, const char* utf8);

// Writes cp932 text to `stream`, converted as console_cp932_to_utf8 does.
void console_write(FILE* stream, const char* cp932);

// printf into cp932 text (the format's literals are cp932 already) and console_write it.
// Longer results than 4095 bytes are cut at a character boundary.
void console_print(FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));
