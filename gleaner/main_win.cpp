// Entry of the Windows build: takes the arguments as UTF-16 and hands them on as code page
// 932 bytes, so a Japanese tag file name arrives intact whatever the ANSI code page is. The
// tag file's path goes through pack_take_tag_argument, which keeps a folder cp932 cannot
// hold in UTF-16.
#include <windows.h>
#include <cstdlib>
#include <cwchar>
#include "gleaner.h"
#include "wide_text.h"

int wmain(int argc, wchar_t** argv) {
  char** args = static_cast<char**>(calloc(size_t(argc) + 1, sizeof(char*)));
  if (!args) return 1;
  for (int i = 0; i < argc; ++i) {
    size_t size = wcslen(argv[i]) * 2 + 1;  // at most two bytes a character
    args[i] = static_cast<char*>(calloc(size, 1));
    if (!args[i]) return 1;
    if (i == 1)
      pack_take_tag_argument(argv[i], args[i], size);
    else
      wide_to_cp932(argv[i], args[i], int(size));  // a name cp932 cannot hold stays empty
  }
  return gleaner_run(argc, args, platform_pack_io());
}
