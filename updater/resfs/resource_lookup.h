// Finding a named resource (a plain file, a file of a directory source or a member of an
// archive source) and opening it as a stream positioned at its first byte.
#pragma once
#include <cstdint>
#include <cstdio>

// Opens `name` (mode "rb" or "rt"). Never returns without a stream: when the file cannot be
// opened the user is asked to retry, and Cancel ends the process at once with exit code -1.
FILE* open_resource(const char* name, const char* mode);

// True when `name` resolves to something that can be opened for reading. Never asks.
bool resource_exists(const char* name);

void close_resource(FILE* stream);

// The length of the resource last resolved or opened; -1 when there is none yet.
int32_t resource_length(void);

// The data offset of the archive member the last resolution found, which the next
// open_resource seeks to; 0 when it found no member (or after that open).
uint32_t pending_resource_offset(void);

// The steps of a lookup, in calling order.

// "@SOURCE:NAME" names NAME (the text after the last ":"); any other name, "@" without ":"
// included, is itself. The result points into `name`.
const char* strip_at_prefix(const char* name);

// The path to open for `name`: the name itself when it opens as a plain file, else the first
// hit of the sources in slot order, else the name itself (which will then not open). Sets the
// pending offset and the resource length (-1 unless an archive member was found). The result
// is valid until the next resolution.
const char* resolve_resource(const char* name);

// The path of `name` in source `slot`: the joined path in a directory source, the archive's
// path on a member hit (setting the pending offset and the member's length); null otherwise.
const char* lookup_in_slot(const char* name, int slot);

// The u32 key of an 11-byte short-name key text ("UPDATE  BMP" gives 0x43491609).
uint32_t short_name_key(const char* key_text);

// Test seam: the function that opens files for the lookup and open_resource (null restores
// open_named_file).
typedef FILE* (*ResourceOpenProc)(const char* path, const char* mode);
void set_resource_opener(ResourceOpenProc opener);
