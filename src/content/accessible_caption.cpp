#include "content/accessible_caption.h"

#include <windows.h>

#include "content/hotkey_prefix.h"

namespace cardel {

AccessibleCaption DescribeCaption(std::wstring_view caption, bool showPrefix) {
  HotkeyText shown = ApplyHotkeyPrefix(caption, showPrefix);
  AccessibleCaption result;
  if (!shown.marked.empty()) {
    wchar_t key = shown.text[shown.marked.front()];
    CharUpperBuffW(&key, 1);
    result.shortcut = std::wstring(L"Alt+") + key;
  }
  result.name = std::move(shown.text);
  return result;
}

}  // namespace cardel
