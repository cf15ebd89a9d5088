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
