#pragma once
// The caption's hot-key marks. The ampersands are taken out here rather than by GDI+, so that the
// text GDI+ measures and turns into outlines is the text that is shown, and the marked characters
// get their underline from the caption itself on every platform.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cardel {

struct HotkeyText {
  std::wstring text;            // what is drawn
  std::vector<size_t> marked;   // positions in text of the characters drawn underlined, ascending
};

// With show off the caption is drawn as typed, ampersands included. With it on, "&x" draws x
// underlined, "&&" draws one ampersand and a lone ampersand at the end draws nothing.
HotkeyText ApplyHotkeyPrefix(std::wstring_view caption, bool show);

}  // namespace cardel
