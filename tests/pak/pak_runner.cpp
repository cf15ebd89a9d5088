// Starting `pak` as its own process: fork and exec on Linux, CreateProcessW on Windows (the
// program's Unix path becomes a Z: path there), its standard output and error into files.
#include "pak_runner.h"
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

static std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::error_code ignored;
  fs::remove(path, ignored);
  return data;
}

#ifdef _WIN32
static std::wstring widen(const std::string& utf8) {
  std::wstring wide(utf8.size() + 1, L'\0');
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], int(wide.size()));
  wide.resize(n > 0 ? size_t(n - 1) : 0);
  return wide;
}

static fs::path native(const std::string& utf8) { return fs::path(widen(utf8)); }

PakRun run_pak(const std::vector<std::string>& args) {
  PakRun run = {-1, "", ""};
  std::wstring program = L"Z:" + widen(PAK_EXE);
  for (wchar_t& c : program) if (c == L'/') c = L'\\';
  std::wstring line = L"\"" + program + L"\"";
  for (const std::string& a : args) line += L" \"" + widen(a) + L"\"";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(L"pak-stdout.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
  HANDLE err = CreateFileW(L"pak-stderr.txt", GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = INVALID_HANDLE_VALUE;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process;
  if (CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    run.exit_code = int(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  CloseHandle(err);
  run.out = slurp("pak-stdout.txt");
  run.err = slurp("pak-stderr.txt");
  return run;
}
#else
static fs::path native(const std::string& utf8) { return fs::path(utf8); }

PakRun run_pak(const std::vector<std::string>& args) {
  PakRun run = {-1, "", ""};
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(PAK_EXE));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  fflush(nullptr);
  pid_t child = fork();
  if (child == 0) {
    int out = open("pak-stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open("pak-stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    execv(PAK_EXE, argv.data());
    _exit(127);
  }
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
    run.exit_code = WEXITSTATUS(status);
  run.out = slurp("pak-stdout.txt");
  run.err = slurp("pak-stderr.txt");
  return run;
}
#endif

fs::path native_utf8(const std::string& utf8_name) { return native(utf8_name); }

bool read_native_file(const std::string& utf8_name, std::string* data) {
  fs::path path = native(utf8_name);
  if (!fs::is_regular_file(path)) return false;
  if (data) {
    std::ifstream in(path, std::ios::binary);
    data->assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  return true;
}
