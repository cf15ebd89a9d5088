// Entry of the Linux build: arguments are byte strings already.
#include <cstdio>
#include "pak_commands.h"

int main(int argc, char** argv) { return pak_run(argc, argv, stdout, stderr); }
