// Shift-JIS (code page 932) helpers shared by the pack tool and the updater: the lead-byte
// test, ASCII upper-casing that leaves double-byte characters alone, and the case-insensitive
// name comparison that orders archive directories.
#pragma once
#include <cstddef>
#include <cstdint>

// 1 for the Shift-JIS lead bytes 0x81-0x9F and 0xE0-0xFC, else 0.
int is_sjis_lead_byte(unsigned char byte);

// Upper-cases "a"-"z" in place; double-byte characters (a lead byte and the byte after it)
// are stepped over unchanged, and a lead byte just before the terminator ends the walk.
void upper_single_bytes(char* text);

// The upper-case form of the double-byte character `code` (lead * 256 + trail) under code
// page 932, from a built-in table so that every platform orders names alike. Characters
// without a capital form map to themselves.
uint16_t sjis_upper_double(uint16_t code);

// Compares two zero-terminated Shift-JIS names without regard to letter case: single bytes
// fold "A"-"Z" to "a"-"z", double-byte characters compare by their upper-case code, and a
// lone lead byte before the terminator counts as the terminator. Returns <0, 0 or >0.
int sjis_icompare(const char* a, const char* b);

// Cutting a text to fit a buffer without splitting a double-byte character.
// sjis_head_length: the length of the longest start of `text` made of whole characters and at
// most `max_bytes` long. sjis_tail_start: the offset of the longest end of `text` made of whole
// characters and at most `max_bytes` long. A lone lead byte before the terminator counts as one
// character.
size_t sjis_head_length(const char* text, size_t max_bytes);
size_t sjis_tail_start(const char* text, size_t max_bytes);
