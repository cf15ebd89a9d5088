// The peer of the start-up benchmark: a Win32 program that only opens a window of the
// updater's client size and runs its message loop until the window is closed.
#include <windows.h>

static LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = window_proc;
  window_class.hInstance = instance;
  window_class.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  window_class.lpszClassName = L"MinimalWindow";
  RegisterClassW(&window_class);
  RECT rect = {0, 0, 480, 304};
  AdjustWindowRect(&rect, WS_BORDER | WS_SYSMENU, FALSE);
  HWND hwnd = CreateWindowW(L"MinimalWindow", L"minimal", WS_BORDER | WS_SYSMENU, CW_USEDEFAULT,
                            CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top,
                            nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
