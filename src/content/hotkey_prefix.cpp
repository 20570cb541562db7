#include "content/hotkey_prefix.h"

namespace cardel {

HotkeyText ApplyHotkeyPrefix(std::wstring_view caption, bool show) {
  HotkeyText result;
  if (!show) {
    result.text = caption;
    return result;
  }
  result.text.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != L'&') {
      result.text.push_back(caption[i]);
      continue;
    }
    if (++i == caption.size()) break;
    if (caption[i] != L'&') result.marked.push_back(result.text.size());
    result.text.push_back(caption[i]);
  }
  return result;
}

}  // namespace cardel
