// `pak test`: every rule of the archive's directory format checked against the loaded archive,
// each fault reported by its name.
#pragma once
#include <cstdio>

// The fault names, as `pak test` prints them at the start of each finding.
//   magic         the ADPACK32 magic is not "ADPACK32"
//   fixed-bytes   a byte the format fixes is wrong (version, name field terminator/padding)
//   count         the entry count: none, more than the updater reads, or past the file's end
//   order         entries out of the order the updater's search needs
//   crc           an ADPACK32 name CRC that is not the name's
//   offset-order  an ADPACK32 or AC offset lower than the one before
//   offset-range  an offset inside the header and directory, or past the end of the file
//   first-offset  ADPACK32 data not starting right after the directory
//   end-entry     the end entry: not blank (ADPACK32), or its offset not the file's size
//   archive-size  an archive of 2 GiB or more, past the updater's 32-bit stream positions
//   same-name     two members the updater cannot tell apart
//   empty-name    a member without a name
//   folder-name   a member name with a folder part (drive, "\" or "/"): never found
//   unreachable   the updater's lookup for the member's name does not find this member

// Checks the open archive (pak_archive.h) and prints one line per fault to `out`, then the
// verdict. Returns the number of faults.
int pak_check_archive(FILE* out);
