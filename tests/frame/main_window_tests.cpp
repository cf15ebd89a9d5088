// The main window and its class as created at start-up, and the search for windows by class
// name that refuses a second start.
#include <gtest/gtest.h>
#include <string>
#include "frame_fixture.h"

namespace {

TEST(MainWindow, ClassAndWindowAsCreated) {
  HWND window = test_main_window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(main_window(), window);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right - client.left, 480);
  EXPECT_EQ(client.bottom - client.top, 304);
  LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_BORDER | WS_SYSMENU), WS_BORDER | WS_SYSMENU);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE), 0);
  EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
  EXPECT_EQ(GetMenu(window), nullptr);
  EXPECT_EQ(GetClassLongPtrW(window, GCL_STYLE), (ULONG_PTR)(CS_VREDRAW | CS_HREDRAW));
  EXPECT_EQ(GetClassLongPtrW(window, GCLP_HBRBACKGROUND), 0u);
  EXPECT_EQ((HCURSOR)GetClassLongPtrW(window, GCLP_HCURSOR), LoadCursorW(nullptr, (LPCWSTR)IDC_ARROW));
  EXPECT_EQ((WNDPROC)GetWindowLongPtrW(window, GWLP_WNDPROC), main_wnd_proc);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  EXPECT_STREQ(name, L"WX7_SS_CLASS");
}

TEST(MainWindow, CountsTheClassWhateverTheLetterCase) {
  test_main_window();
  int count = count_windows_of_class("WX7_SS_CLASS");
  EXPECT_GE(count, 1);
  EXPECT_EQ(count_windows_of_class("wx7_ss_class"), count);
  EXPECT_EQ(count_windows_of_class("Wx7_Ss_ClasS"), count);
  EXPECT_EQ(count_windows_of_class("WX7_SS_CLAS"), 0);
  EXPECT_EQ(count_windows_of_class("WX7_SS_CLASSX"), 0);
}

TEST(MainWindow, ClassNamesCompareOverTheirFirst63Characters) {
  // A 70-character class of this process's own: only its first 63 characters count.
  std::wstring base = L"Kit_Frame_Probe_" + std::to_wstring(GetCurrentProcessId()) + L"_";
  base.resize(63, L'x');
  std::wstring long_name = base + L"1234567";
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = long_name.c_str();
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND probe = CreateWindowExW(0, long_name.c_str(), L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr, wc.hInstance, nullptr);
  ASSERT_NE(probe, nullptr);
  std::string narrow(base.begin(), base.end());  // ASCII
  const struct {
    std::string name;
    int expected;
  } cases[] = {{narrow, 1},
               {narrow + "other tail", 1},
               {narrow.substr(0, 62), 0},
               {narrow.substr(0, 62) + "y", 0}};
  for (const auto& c : cases) {
    std::string lower = c.name;
    for (char& ch : lower) ch = (char)tolower((unsigned char)ch);
    EXPECT_EQ(count_windows_of_class(lower.c_str()), c.expected) << c.name;
  }
  DestroyWindow(probe);
  EXPECT_EQ(count_windows_of_class(narrow.c_str()), 0);
}

}  // namespace
