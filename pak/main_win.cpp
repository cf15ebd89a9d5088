// Entry of the Windows build: the arguments arrive as UTF-16 and go on as cp932, so Japanese
// archive, folder and member names arrive intact whatever the ANSI code page is.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include "console_text.h"
#include "pak_commands.h"
#include "wide_text.h"

int wmain(int argc, wchar_t** argv) {
  char** args = static_cast<char**>(calloc(size_t(argc) + 1, sizeof(char*)));
  if (!args) return PAK_EXIT_USAGE;
  for (int i = 0; i < argc; ++i) {
    int size = static_cast<int>(wcslen(argv[i])) * 2 + 1;  // at most two bytes a character
    args[i] = static_cast<char*>(calloc(size_t(size), 1));
    if (!args[i]) return PAK_EXIT_USAGE;
    if (wide_to_cp932(argv[i], args[i], size) < 0) {
      char utf8[1024];
      WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, utf8, sizeof utf8, nullptr, nullptr);
      console_write_utf8(stderr, "pak: the argument \"");
      console_write_utf8(stderr, utf8);
      console_write_utf8(stderr, "\" has a character that cp932 cannot hold\n");
      return PAK_EXIT_USAGE;
    }
  }
  return pak_run(argc, args, stdout, stderr);
}
