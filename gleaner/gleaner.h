// The pack tool: reads a tag file listing files and packs them into one archive.
#pragma once
#include "pack_io.h"

// Runs the whole tool on `argv[1]` (Shift-JIS bytes: the tool's text of the tag file's path,
// as pack_take_tag_argument makes it from the command line) with the file operations `io`.
// Returns the exit code: 0 for a complete archive, 1 for any failure.
int gleaner_run(int argc, char** argv, const PackIo* io);
