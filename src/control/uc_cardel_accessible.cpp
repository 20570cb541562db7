// What assistive technology reads of the control: its caption as shown, the key that reaches it, and
// whether it presents text or only a picture.
#include <string_view>

#include "content/accessible_caption.h"
#include "control/uc_cardel.h"

namespace cardel {

void UcCardel::OnDescribeAccessible(ole::AccessibleFacts& facts) {
  const std::wstring_view caption(reinterpret_cast<const wchar_t*>(caption_.data()), caption_.size() / sizeof(wchar_t));
  AccessibleCaption described = DescribeCaption(caption, state_.CaptionShowPrefix != 0);
  facts.name = std::move(described.name);
  facts.shortcut = std::move(described.shortcut);
  const bool pictureOnly = caption.empty() && state_.IconCharCode == 0 && state_.PictureExist;
  facts.role = pictureOnly ? ROLE_SYSTEM_GRAPHIC : ROLE_SYSTEM_STATICTEXT;
}

}  // namespace cardel
