#pragma once
// What assistive technology is told about the caption: the text a user sees and the key that
// reaches it, derived from the same hot-key rules the caption is drawn with.
#include <string>
#include <string_view>

namespace cardel {

struct AccessibleCaption {
  std::wstring name;      // the caption as drawn, its hot-key marks taken out
  std::wstring shortcut;  // "Alt+S" for a caption drawn with a marked S; empty without a mark
};

// Several marks name the first: it is the one a keyboard user is taught to press.
AccessibleCaption DescribeCaption(std::wstring_view caption, bool showPrefix);

}  // namespace cardel
