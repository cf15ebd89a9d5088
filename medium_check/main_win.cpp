// Entry of the Windows build: the arguments arrive as UTF-16; the folder is entered in that
// form (so a path cp932 cannot hold works too) and the arguments go on as UTF-8 for showing.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include "medium_check_run.h"

static wchar_t** g_wide_argv;

static int enter_folder(int index) { return SetCurrentDirectoryW(g_wide_argv[index]) ? 0 : -1; }

int wmain(int argc, wchar_t** argv) {
  g_wide_argv = argv;
  char** args = static_cast<char**>(calloc(size_t(argc) + 1, sizeof(char*)));
  if (!args) return MEDIUM_EXIT_USAGE;
  for (int i = 0; i < argc; ++i) {
    int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    args[i] = static_cast<char*>(calloc(size_t(size > 0 ? size : 1), 1));
    if (!args[i]) return MEDIUM_EXIT_USAGE;
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, args[i], size, nullptr, nullptr);
  }
  return medium_check_run(argc, args, enter_folder, stdout, stderr);
}
