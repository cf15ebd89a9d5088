// count_windows_of_class: how many top-level windows have a given class, letter case aside.
// The updater uses it to refuse a second start.
#include <cstring>
#include "app_window.h"
#include "sjis.h"
#include "wide_text.h"

static struct {
  wchar_t wanted[CLASS_NAME_CHARS + 1];  // the class searched for, cut to 63 characters
  int count;
} search;

static wchar_t fold_ascii(wchar_t c) { return c >= L'a' && c <= L'z' ? (wchar_t)(c - 32) : c; }

// Equal over the first 63 characters, ASCII letters folded (as _strnicmp with 63).
static int same_class_name(const wchar_t* a, const wchar_t* b) {
  for (int i = 0; i < CLASS_NAME_CHARS; i++) {
    if (fold_ascii(a[i]) != fold_ascii(b[i])) return 0;
    if (!a[i]) return 1;
  }
  return 1;
}

static BOOL CALLBACK count_one(HWND hwnd, LPARAM) {
  wchar_t name[CLASS_NAME_CHARS + 1] = {};
  GetClassNameW(hwnd, name, CLASS_NAME_CHARS + 1);
  if (same_class_name(name, search.wanted)) search.count++;
  return TRUE;
}

int count_windows_of_class(const char* class_name) {
  // The name is cut to at most 63 bytes of whole characters; a name that is not valid cp932
  // matches no class.
  char head[CLASS_NAME_CHARS + 1] = {};
  memcpy(head, class_name, sjis_head_length(class_name, CLASS_NAME_CHARS));
  if (cp932_to_wide(head, search.wanted, CLASS_NAME_CHARS + 1, WIDE_NAME) < 0) return 0;
  search.count = 0;
  EnumWindows(count_one, 0);
  return search.count;
}
