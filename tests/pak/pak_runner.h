// Runs the built `pak` in the current directory with UTF-8 arguments (UTF-16 on Windows) and
// collects what it wrote to stdout and stderr and its exit code.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

struct PakRun {
  int exit_code;    // -1 when it could not be started
  std::string out;  // stdout, UTF-8
  std::string err;  // stderr, UTF-8
};

PakRun run_pak(const std::vector<std::string>& utf8_args);

// The native path of a UTF-8 name (UTF-16 on Windows).
std::filesystem::path native_utf8(const std::string& utf8_name);

// True when the file named by UTF-8 `name` exists; its contents in *data when given.
bool read_native_file(const std::string& utf8_name, std::string* data = nullptr);
