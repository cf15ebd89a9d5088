// Loads the EnvTable from a text held in memory, handed out in pieces of at most 7 bytes so
// that lines cross the line reader's refills.
#pragma once
#include <string>

void load_env_text(const std::string& text);
