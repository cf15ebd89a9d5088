// Windows opens names without regard to letter case: there is no other case to look for.
#include "plain_name.h"

bool plain_name_in_other_case(const char*, char*, size_t) { return false; }
