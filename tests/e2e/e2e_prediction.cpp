// The prediction's check: medium-check.exe run as a process beside the updater, and the game
// folder read back here with the test's own walk and hash.
#include "e2e_prediction.h"
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include "e2e_fixture.h"
#include "test_files.h"

namespace {

const DWORD KEPT_ATTRIBUTES = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL;

std::string utf8_of(const std::wstring& wide) {
  int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(size_t(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &out[0], size, nullptr, nullptr);
  out.resize(strlen(out.c_str()));
  return out;
}

// 64-bit FNV-1a of the file's bytes.
uint64_t fnv1a_of(const std::wstring& path) {
  uint64_t hash = 0xCBF29CE484222325ull;
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return 0;
  int c;
  while ((c = fgetc(file)) != EOF) hash = (hash ^ (unsigned char)c) * 0x100000001B3ull;
  fclose(file);
  return hash;
}

struct Line {
  std::string key;  // the name with ASCII letters upper-cased: the order
  std::string text;
};

void walk(const std::wstring& folder, const std::string& below, std::vector<Line>* lines) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring leaf = found.cFileName;
    if (leaf == L"." || leaf == L"..") continue;
    std::string name = below + (below.empty() ? "" : "\\") + utf8_of(leaf);
    std::wstring path = folder + L"\\" + leaf;
    char text[64];
    DWORD attributes = found.dwFileAttributes & KEPT_ATTRIBUTES;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      snprintf(text, sizeof text, "folder %08lX - - ", (unsigned long)attributes);
    } else {
      unsigned long long size =
          ((unsigned long long)found.nFileSizeHigh << 32) | found.nFileSizeLow;
      snprintf(text, sizeof text, "file %08lX %llu %016llX ", (unsigned long)attributes, size,
               (unsigned long long)fnv1a_of(path));
    }
    std::string key = name;
    for (char& c : key)
      if (c >= 'a' && c <= 'z') c = char(c - 32);
    lines->push_back({key, text + name});
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) walk(path, name, lines);
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

// The end the boxes showed: the last box of the procedure, "" when none came.
std::string end_seen(const std::vector<std::string>& seen) {
  std::string end;
  for (const std::string& box : seen) {
    size_t bar = box.find('|');
    std::string caption = box.substr(0, bar),
                text = bar == std::string::npos ? "" : box.substr(bar + 1);
    if (text == "アップデートに失敗しました")
      end = "FAILED";
    else if (caption == "アップデート終了")
      end = "MINIOK";
    else if (caption == "ディスク容量の確認")
      end = "MOREDISKFREE";
  }
  return end;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The folder's state in the prediction's form: "file ATTR SIZE HASH NAME" and
// "folder ATTR - - NAME" lines (UTF-8 names), sorted as medium-check sorts them. Independent
// of medium-check's own scan.
std::vector<std::string> folder_state_lines(const std::string& folder) {
  std::vector<Line> lines;
  walk(widen(folder), "", &lines);
  std::stable_sort(lines.begin(), lines.end(),
                   [](const Line& a, const Line& b) { return a.key < b.key; });
  std::vector<std::string> out;
  for (const Line& line : lines) out.push_back(line.text);
  return out;
}

}  // namespace

void predict_update(Prediction* prediction, const std::string& medium, const std::string& game_full,
                    const std::string& scratch) {
  prediction->made = false;
  prediction->seen.clear();
  if (!prediction->enabled) return;
  prediction->file = scratch + "\\prediction.txt";
  std::string output = scratch + "\\medium-check.txt";
  DeleteFileW(widen(prediction->file).c_str());
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(widen(output).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = startup.hStdError = out;
  std::wstring line = L"\"" + built_program(MEDIUM_CHECK_EXE) + L"\" \"" + widen(medium) +
                      L"\" --game \"" + widen(game_full) + L"\" --predict \"" +
                      widen(prediction->file) + L"\"";
  PROCESS_INFORMATION info = {};
  BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                nullptr, nullptr, &startup, &info);
  CloseHandle(out);
  ASSERT_TRUE(started) << "medium-check.exe did not start";
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(info.hProcess, 120000));
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  prediction->report = file_state(output).data;
  prediction->made = !file_state(prediction->file).data.empty();
  EXPECT_TRUE(prediction->made) << "medium-check wrote no prediction:\n" << prediction->report;
}

void note_box(Prediction* prediction, const std::string& seen) { prediction->seen.push_back(seen); }

void check_prediction(Prediction* prediction, const std::string& game) {
  if (!prediction->made) return;
  prediction->made = false;
  std::vector<std::string> predicted = split_lines(file_state(prediction->file).data);
  ASSERT_GE(predicted.size(), 2u);
  std::string end = end_seen(prediction->seen);
  // Without UPDATE.ENV the updater must stop before the procedure. Otherwise it may stop for
  // reasons no dry run sees (not installed, the confirmation cancelled): only a run that
  // reached the procedure is compared.
  if (predicted[1] == "end STOPPED") {
    EXPECT_EQ("", end) << prediction->report;
  }
  if (end.empty()) return;
  EXPECT_EQ(predicted[1], "end " + end) << prediction->report;
  std::vector<std::string> state(predicted.begin() + 2, predicted.end());
  EXPECT_EQ(state, folder_state_lines(game))
      << "the dry run's prediction against the folder the updater left\n"
      << prediction->report;
}
