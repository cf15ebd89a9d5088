// Entry of the Windows build: takes the arguments as UTF-16 and hands them on as code page
// 932 bytes, so a Japanese tag file name arrives intact whatever the ANSI code page is.
#include <windows.h>
#include <cstdlib>
#include <cwchar>
#include "gleaner.h"
#include "wide_text.h"

int wmain(int argc, wchar_t** argv) {
  char** args = static_cast<char**>(calloc(size_t(argc) + 1, sizeof(char*)));
  if (!args) return 1;
  for (int i = 0; i < argc; ++i) {
    int size = static_cast<int>(wcslen(argv[i])) * 2 + 1;  // at most two bytes a character
    args[i] = static_cast<char*>(calloc(size_t(size), 1));
    if (!args[i]) return 1;
    wide_to_cp932(argv[i], args[i], size);  // a name cp932 cannot hold stays empty
  }
  return gleaner_run(argc, args, platform_pack_io());
}
