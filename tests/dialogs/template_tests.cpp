// The dialog templates among the program's resources, read back from the classic DLGTEMPLATE
// form: captions, styles, sizes, font, language 1041 and every control in template order
// (id, class, style, place, text as UTF-16 and as cp932); then each template made into a
// window, with its texts, font and default button as the dialog manager sees them; icon 101.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <string>
#include <vector>
#include "wide_text.h"

namespace {

LPCWSTR const DIALOG_TYPE = MAKEINTRESOURCEW(5);  // RT_DIALOG of the wide functions

// One text in both forms from a single literal: L"" "x" is the wide literal L"x".
#define BOTH(text) text, L"" text

struct Item {
  DWORD style;
  int x, y, cx, cy;
  WORD id;
  WORD class_ordinal;      // 0x80 BUTTON, 0x82 STATIC; 0 when named
  std::wstring class_name;
  std::wstring text;
};

struct Template {
  DWORD style, ex_style;
  int x, y, cx, cy;
  bool has_menu, has_class;
  std::wstring caption;
  WORD point_size;
  std::wstring face;
  std::vector<Item> items;
};

// Reads a sz_Or_Ord field: 0xFFFF and an ordinal, or a zero-terminated UTF-16 string.
const WORD* read_name(const WORD* p, WORD* ordinal, std::wstring* name) {
  *ordinal = 0;
  name->clear();
  if (*p == 0xFFFF) {
    *ordinal = p[1];
    return p + 2;
  }
  while (*p) name->push_back((wchar_t)*p++);
  return p + 1;
}

const BYTE* align4(const BYTE* base, const void* p) {
  size_t offset = (const BYTE*)p - base;
  return base + ((offset + 3) & ~(size_t)3);
}

bool parse_template(const wchar_t* name, Template* out) {
  HRSRC found = FindResourceW(nullptr, name, DIALOG_TYPE);
  if (!found) return false;
  const BYTE* base = (const BYTE*)LockResource(LoadResource(nullptr, found));
  if (!base) return false;
  const DLGTEMPLATE* t = (const DLGTEMPLATE*)base;
  if (HIWORD(t->style) == 0xFFFF) return false;  // the extended form
  out->style = t->style;
  out->ex_style = t->dwExtendedStyle;
  out->x = t->x, out->y = t->y, out->cx = t->cx, out->cy = t->cy;
  const WORD* p = (const WORD*)(base + 18);
  WORD ordinal;
  std::wstring text;
  p = read_name(p, &ordinal, &text);
  out->has_menu = ordinal || !text.empty();
  p = read_name(p, &ordinal, &text);
  out->has_class = ordinal || !text.empty();
  p = read_name(p, &ordinal, &out->caption);
  out->point_size = 0;
  if (t->style & DS_SETFONT) {
    out->point_size = *p++;
    p = read_name(p, &ordinal, &out->face);
  }
  out->items.clear();
  for (int i = 0; i < t->cdit; i++) {
    const DLGITEMTEMPLATE* it = (const DLGITEMTEMPLATE*)align4(base, p);
    Item item;
    item.style = it->style;
    item.x = it->x, item.y = it->y, item.cx = it->cx, item.cy = it->cy;
    item.id = it->id;
    p = read_name((const WORD*)(it + 1), &item.class_ordinal, &item.class_name);
    p = read_name(p, &ordinal, &item.text);
    WORD extra = *p++;
    p = (const WORD*)((const BYTE*)p + extra);
    out->items.push_back(item);
  }
  return true;
}

const DWORD MODAL = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
const DWORD PROGRESS = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT |
                       DS_SETFOREGROUND;
const DWORD CONTROL = WS_CHILD | WS_VISIBLE;
const DWORD DEFAULT_BUTTON = CONTROL | WS_TABSTOP | BS_DEFPUSHBUTTON;
const DWORD BUTTON = CONTROL | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD GROUP_BOX = CONTROL | WS_TABSTOP | BS_GROUPBOX;
const DWORD CENTRED = CONTROL | WS_GROUP | SS_CENTER;
const DWORD PROGRESS_BAR = CONTROL | WS_BORDER;
const DWORD ANIMATION = CONTROL | ACS_CENTER | ACS_TRANSPARENT;

struct ExpectedItem {
  WORD id;
  const wchar_t* class_name;  // "BUTTON" and "STATIC" stand for their ordinals
  DWORD style;
  int x, y, cx, cy;
  const char* text;
  const wchar_t* wide;
};

struct ExpectedTemplate {
  const wchar_t* name;
  const char* caption;
  const wchar_t* wide_caption;
  DWORD style;
  int cx, cy;
  std::vector<ExpectedItem> items;
  int default_button;  // 0: none
};

const WORD UNNAMED = 0xFFFF;

#define START_TEXT BOTH("「」のアップデートを開始します。")
#define CANCEL_TEXT BOTH("ｷｬﾝｾﾙ")

const ExpectedTemplate TEMPLATES[] = {
    {L"STARTMES", BOTH("アップデート確認"), MODAL, 219, 115,
     {{2, L"BUTTON", DEFAULT_BUTTON, 160, 95, 50, 14, CANCEL_TEXT},
      {1, L"BUTTON", BUTTON, 105, 95, 50, 14, BOTH("OK")},
      {1023, L"STATIC", CENTRED, 5, 10, 205, 25, START_TEXT},
      {UNNAMED, L"BUTTON", GROUP_BOX, 5, 40, 205, 50, BOTH("")},
      {UNNAMED, L"STATIC", CENTRED, 10, 55, 190, 30,
       BOTH("アップデートを行うと、セーブデータは使用できなくなります。\n\n"
            "[OK]を押すとアップデートを開始します。")}},
     2},
    {L"STARTMES2", BOTH("アップデート確認"), MODAL, 219, 115,
     {{2, L"BUTTON", DEFAULT_BUTTON, 160, 95, 50, 14, CANCEL_TEXT},
      {1, L"BUTTON", BUTTON, 105, 95, 50, 14, BOTH("OK")},
      {1023, L"STATIC", CENTRED, 5, 10, 205, 25, START_TEXT},
      {UNNAMED, L"BUTTON", GROUP_BOX, 5, 40, 205, 50, BOTH("")},
      {UNNAMED, L"STATIC", CENTRED, 10, 55, 190, 30,
       BOTH("アップデートを行うと、セーブデータは削除されます。\n\n"
            "[OK]を押すとアップデートを開始します。")}},
     2},
    {L"STARTMES3", BOTH("アップデート確認"), MODAL, 219, 69,
     {{2, L"BUTTON", DEFAULT_BUTTON, 160, 50, 50, 14, CANCEL_TEXT},
      {1, L"BUTTON", BUTTON, 105, 50, 50, 14, BOTH("OK")},
      {1023, L"STATIC", CENTRED, 5, 10, 205, 10, START_TEXT},
      {UNNAMED, L"STATIC", CENTRED, 5, 25, 210, 10, BOTH("[OK]を押すとアップデートを開始します。")}},
     2},
    {L"DRIVENOTREADY", BOTH("ドライブ状態の確認"), MODAL, 186, 75,
     {{2, L"BUTTON", DEFAULT_BUTTON, 135, 60, 50, 14, CANCEL_TEXT},
      {1, L"BUTTON", BUTTON, 80, 60, 50, 14, BOTH("再試行")},
      {UNNAMED, L"STATIC", CENTRED, 2, 8, 184, 42,
       BOTH("指定されたドライブは、準備が出来ていないか、\n何らかのエラーが発生しています。\n\n"
            "再試行を押すとリトライします。")}},
     2},
    {L"MOREDISKFREE", BOTH("ディスク容量の確認"), MODAL, 186, 75,
     {{2, L"BUTTON", DEFAULT_BUTTON, 135, 60, 50, 14, CANCEL_TEXT},
      {UNNAMED, L"STATIC", CENTRED, 2, 16, 184, 34,
       BOTH("指定されたフォルダは、ディスク容量不足のため、\nアップデートｌが実行出来ません\n"
            "ディスクの空き容量を調整して、再度実行して下さい。")}},
     2},
    {L"MINIOK", BOTH("アップデート終了"), MODAL, 175, 69,
     {{UNNAMED, L"STATIC", CENTRED, 9, 7, 157, 37,
       BOTH("アップデートは正常に終了しました。\n\n次回の起動時からは、アップデート済みの\n"
            "プログラムが実行されます。")},
      {1, L"BUTTON", BUTTON, 62, 49, 50, 14, BOTH("OK")}},
     0},
    {L"COPYING", BOTH("ファイルコピー"), PROGRESS, 242, 75,
     {{1010, L"msctls_progress32", PROGRESS_BAR, 6, 62, 180, 10, BOTH("Progress1")},
      {1012, L"STATIC", CENTRED, 5, 50, 180, 10,
       BOTH("ここにコピー中のファイル名が表示されるなりー！")},
      {2, L"BUTTON", BUTTON, 190, 59, 50, 14, CANCEL_TEXT},
      {1020, L"SysAnimate32", ANIMATION, 5, 5, 180, 40, BOTH("Animate1")}},
     0},
};

std::string narrow(const std::wstring& wide) {
  char bytes[1024];
  if (wide_to_cp932(wide.c_str(), bytes, sizeof bytes) < 0) return "<no cp932 form>";
  return bytes;
}

std::string trace_name(const wchar_t* name) { return narrow(name); }

TEST(DialogTemplates, EveryTemplateAsWritten) {
  for (const ExpectedTemplate& e : TEMPLATES) {
    SCOPED_TRACE(trace_name(e.name));
    Template t;
    ASSERT_TRUE(parse_template(e.name, &t));
    EXPECT_EQ(t.style, e.style) << std::hex << t.style;
    EXPECT_EQ(t.ex_style, 0u);
    EXPECT_EQ(t.cx, e.cx);
    EXPECT_EQ(t.cy, e.cy);
    EXPECT_FALSE(t.has_menu);
    EXPECT_FALSE(t.has_class);
    EXPECT_EQ(t.caption, e.wide_caption);
    EXPECT_EQ(narrow(t.caption), e.caption);
    EXPECT_EQ(t.point_size, 9);
    EXPECT_EQ(t.face, L"ＭＳ Ｐゴシック");
    EXPECT_EQ(narrow(t.face), "ＭＳ Ｐゴシック");
    ASSERT_EQ(t.items.size(), e.items.size());
    for (size_t i = 0; i < e.items.size(); i++) {
      SCOPED_TRACE("control " + std::to_string(i));
      const Item& got = t.items[i];
      const ExpectedItem& want = e.items[i];
      EXPECT_EQ(got.id, want.id);
      EXPECT_EQ(got.style, want.style) << std::hex << got.style;
      EXPECT_EQ(got.x, want.x);
      EXPECT_EQ(got.y, want.y);
      EXPECT_EQ(got.cx, want.cx);
      EXPECT_EQ(got.cy, want.cy);
      if (!wcscmp(want.class_name, L"BUTTON")) {
        EXPECT_EQ(got.class_ordinal, 0x80);
      } else if (!wcscmp(want.class_name, L"STATIC")) {
        EXPECT_EQ(got.class_ordinal, 0x82);
      } else {  // class names are compared without regard to case, as Windows does
        EXPECT_EQ(got.class_ordinal, 0);
        EXPECT_EQ(_wcsicmp(got.class_name.c_str(), want.class_name), 0) << narrow(got.class_name);
      }
      EXPECT_EQ(got.text, want.wide);
      EXPECT_EQ(narrow(got.text), want.text);
    }
  }
}

TEST(DialogTemplates, LineFeedsAreSingleBytes) {
  Template t;
  ASSERT_TRUE(parse_template(L"DRIVENOTREADY", &t));
  std::string text = narrow(t.items[2].text);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
}

BOOL CALLBACK count_language(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
  std::vector<WORD>* seen = (std::vector<WORD>*)param;
  seen->push_back(language);
  return TRUE;
}

TEST(DialogTemplates, AllAreJapaneseOnly) {
  for (const ExpectedTemplate& e : TEMPLATES) {
    SCOPED_TRACE(trace_name(e.name));
    std::vector<WORD> languages;
    EnumResourceLanguagesW(nullptr, DIALOG_TYPE, e.name, count_language, (LONG_PTR)&languages);
    ASSERT_EQ(languages.size(), 1u);
    EXPECT_EQ(languages[0], 1041);
  }
  EXPECT_EQ(FindResourceW(nullptr, L"NOSUCHDIALOG", DIALOG_TYPE), nullptr);
}

INT_PTR CALLBACK quiet_proc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// Each template made into a window: the dialog manager's view of texts, font and default.
TEST(DialogTemplates, CreatedDialogsShowTheTexts) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_ANIMATE_CLASS | ICC_PROGRESS_CLASS};
  ASSERT_TRUE(InitCommonControlsEx(&controls));
  for (const ExpectedTemplate& e : TEMPLATES) {
    SCOPED_TRACE(trace_name(e.name));
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), e.name, nullptr, quiet_proc, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();
    wchar_t text[512];
    GetWindowTextW(dialog, text, 512);
    EXPECT_STREQ(text, e.wide_caption);
    EXPECT_EQ(IsWindowVisible(dialog) != 0, (e.style & WS_VISIBLE) != 0);
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const ExpectedItem& item : e.items) {  // creation order is template order
      ASSERT_NE(child, nullptr);
      EXPECT_EQ((WORD)GetDlgCtrlID(child), item.id);
      if (item.id == 1010 || item.id == 1020) {  // these classes keep no window text
        wchar_t name[64];
        GetClassNameW(child, name, 64);
        EXPECT_EQ(_wcsicmp(name, item.class_name), 0);
      } else {
        GetWindowTextW(child, text, 512);
        EXPECT_STREQ(text, item.wide);
      }
      child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
    LOGFONTW font = {};
    GetObjectW((HFONT)SendMessageW(dialog, WM_GETFONT, 0, 0), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, L"ＭＳ Ｐゴシック");
    if (e.default_button) {
      EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELONG(e.default_button, DC_HASDEFID));
    }
    DestroyWindow(dialog);
  }
}

TEST(Icon, ResourceOneHundredOneLoadsInBothSizes) {
  HINSTANCE self = GetModuleHandleW(nullptr);
  EXPECT_NE(LoadIconW(self, MAKEINTRESOURCEW(101)), nullptr);
  for (int size : {32, 16}) {
    HICON icon = (HICON)LoadImageW(self, MAKEINTRESOURCEW(101), IMAGE_ICON, size, size, 0);
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask;
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, size);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

}  // namespace
