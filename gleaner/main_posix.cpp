// Entry of the Linux build: arguments are already byte strings.
#include "gleaner.h"

int main(int argc, char** argv) { return gleaner_run(argc, argv, platform_pack_io()); }
