// The `pak` program: its commands and their exit codes, the same on Linux and Windows.
#pragma once
#include <cstdio>

enum {
  PAK_EXIT_OK = 0,        // listed; sound; found; every member written
  PAK_EXIT_FAULTS = 1,    // faults found; not found; a member refused or not written
  PAK_EXIT_USAGE = 2      // bad command line, or the archive (or DIR) cannot be used
};

// Runs the command line (argv[0] the program). ARCHIVE and DIR arguments are paths as the
// platform's file code takes them (cp932 on Windows, the bytes as given on Linux); NAMEs
// go through pak_name_from_argument. Output goes to `out`, complaints to `err`.
int pak_run(int argc, char** argv, FILE* out, FILE* err);

// The commands themselves, on an archive path; each opens and closes the archive.
int pak_list(const char* archive, bool json, FILE* out, FILE* err);
int pak_test(const char* archive, FILE* out, FILE* err);
int pak_find(const char* archive, const char* name, FILE* out, FILE* err);
int pak_extract(const char* archive, const char* dir, char** names, int name_count, FILE* out,
                FILE* err);
