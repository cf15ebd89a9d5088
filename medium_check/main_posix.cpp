// Entry of the Linux build: arguments are UTF-8 bytes; the folder is entered as given.
#include <unistd.h>
#include <cstdio>
#include "medium_check_run.h"

static char** g_argv;

static int enter_folder(int index) { return chdir(g_argv[index]); }

int main(int argc, char** argv) {
  g_argv = argv;
  return medium_check_run(argc, argv, enter_folder, stdout, stderr);
}
