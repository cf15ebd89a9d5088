// The updater's program entry: refuses a second start, brings up the window and the display,
// loads the update description, shows the splash screen with the update's title, checks that
// the program to be updated is installed, opens the read-me, asks for confirmation and runs
// the update. Every end after start-up goes through app_exit.
#include <windows.h>
#include <shellapi.h>
#include <cstdio>
#include "app_window.h"
#include "bitmap_loader.h"
#include "data_slots.h"
#include "dialogs.h"
#include "env_defaults.h"
#include "env_table.h"
#include "input_state.h"
#include "install_record.h"
#include "palette.h"
#include "resource_sources.h"
#include "screen_pages.h"
#include "text_renderer.h"
#include "update_procedure.h"
#include "wide_text.h"

enum { ENV_TEXT_SIZE = 80, NOT_INSTALLED_SIZE = 256 };

static char g_title[ENV_TEXT_SIZE];
static char g_app_name[ENV_TEXT_SIZE];
static char g_readme[ENV_TEXT_SIZE];

// Brings up the main window and the display framework, in the order the parts depend on.
static void init_system(HINSTANCE instance, HINSTANCE previous, int show) {
  HWND window = create_main_window(instance, previous);
  register_update_source();
  init_palette(UPDATER_PALETTE_ENTRIES);  // ends the program on an unsuitable display
  init_screen_pages();
  init_text_renderer();
  init_keyboard();
  init_mouse();
  register_session_end();  // a logoff in the middle of a copy leaves through app_exit
  com_start();
  select_text_font(0);
  center_on_screen(window);
  // Pinned before it is shown: a window started minimised would otherwise be pinned to its
  // icon and never come back whole.
  RECT rect;
  GetWindowRect(window, &rect);
  pin_window_rect(rect);
  show_main_window(show);
  UpdateWindow(window);
}

static void load_texts(void) {
  snprintf(g_title, sizeof g_title, "%s", DEFAULT_APPTITLE);
  snprintf(g_app_name, sizeof g_app_name, "%s", DEFAULT_APPNAME);
  snprintf(g_readme, sizeof g_readme, "%s", DEFAULT_README);
  env_string("APPTITLE", g_title);
  env_string("APPNAME", g_app_name);
  env_string("README", g_readme);
}

// The splash screen: the picture's colours in entries 16..235, black and white for the text,
// a black band under the picture and the title in white with a black shadow.
static void show_splash(void) {
  load_data_slot(0, "update.itw");
  select_draw_page(0);
  select_shown_page(0);
  set_palette_levels(0, 0, 0, 0);
  set_palette_levels(15, 15, 15, 15);
  set_bitmap_colour_offset(16);
  set_bitmap_colour_count(220);
  load_screen_bitmap("update.bmp", 80, 0);
  set_palette_levels(0, 0, 0, 0);
  set_palette_levels(15, 15, 15, 15);
  fill_screen_rect(0, 280, 640, 120, 0);
  copy_screen_block(0, 0, 0, 80, 400, 1, 0, 0);
  UpdateWindow(main_window());
  draw_text_now(12, 282, 0x10F, -1, g_title);
}

static void require_installation(void) {
  if (reg_read_int(inifile_name(), inisection_name(), "Installed", 0) != 0) return;
  char text[NOT_INSTALLED_SIZE];
  snprintf(text, sizeof text,
           "「%s」が見つかりません\n「%s」をインストールしてからアップデートを実行してください",
           g_app_name, g_app_name);
  notice_box(text);
  app_exit(0);
}

// Opens the read-me with the shell, which reports its own errors; the update goes on whatever
// happens and does not wait for the document.
static void open_readme(void) {
  wchar_t file[ENV_TEXT_SIZE];
  if (cp932_to_wide(g_readme, file, ENV_TEXT_SIZE, WIDE_NAME) < 0) return;
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.hwnd = main_window();
  info.lpVerb = L"open";
  info.lpFile = file;
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExW(&info);
}

// Whether the current folder holds the update's data: the marker of the update folder, the
// archive, or a description lying loose.
static int current_folder_holds_update(void) {
  static const wchar_t* const names[] = {L"UPDATE\\PK.BAT", L"UPDATE.PAK", L"UPDATE.ENV"};
  for (const wchar_t* name : names) {
    DWORD attributes = GetFileAttributesW(name);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
      return 1;
  }
  return 0;
}

// The update's files are named relative to the current folder. A medium may be laid out for
// that (an autorun "open=BIN\updater.exe" with the archive, the read-me and the sources at its
// root); otherwise they lie beside the program, wherever it was started from.
static void enter_update_folder(void) {
  if (current_folder_holds_update()) return;
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  wchar_t* last = wcsrchr(path, L'\\');
  if (!last) return;
  last[1] = 0;
  SetCurrentDirectoryW(path);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show) {
  enter_update_folder();
  if (count_windows_of_class(MAIN_WINDOW_CLASS) != 0) return 0;
  if (count_windows_of_class("WX7_TMCLASS") != 0) return 0;
  init_system(instance, previous, show);
  load_env();
  load_texts();
  set_main_window_title(g_title);
  show_splash();
  require_installation();
  open_readme();
  if (confirm_update(g_app_name) != 1) {
    error_box("アップデートを中止しました。");
    app_exit(0);
  }
  run_update();
  app_exit(0);
}
