// Entry of the Windows build: takes the arguments as UTF-16 and hands them on as code page
// 932 bytes, so a Japanese tag file name arrives intact whatever the ANSI code page is.
#include <windows.h>
#include <cstdlib>
#include "gleaner.h"

int wmain(int argc, wchar_t** argv) {
  char** args = static_cast<char**>(calloc(size_t(argc) + 1, sizeof(char*)));
  if (!args) return 1;
  for (int i = 0; i < argc; ++i) {
    int size = WideCharToMultiByte(932, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    args[i] = static_cast<char*>(calloc(size_t(size > 0 ? size : 1), 1));
    if (!args[i]) return 1;
    if (size > 0) WideCharToMultiByte(932, 0, argv[i], -1, args[i], size, nullptr, nullptr);
  }
  return gleaner_run(argc, args, platform_pack_io());
}
