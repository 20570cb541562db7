#include "ole/window_clip.h"

#include <algorithm>

namespace ole {

std::optional<RECT> VisiblePartOfWindow(const RECT& position, const RECT& clip) noexcept {
  if (clip.left <= position.left && clip.top <= position.top && clip.right >= position.right &&
      clip.bottom >= position.bottom)
    return std::nullopt;
  RECT visible{std::max(position.left, clip.left) - position.left, std::max(position.top, clip.top) - position.top,
               std::min(position.right, clip.right) - position.left, std::min(position.bottom, clip.bottom) - position.top};
  // A clip beside the control hides all of it.
  if (visible.right <= visible.left || visible.bottom <= visible.top) visible = RECT{0, 0, 0, 0};
  return visible;
}

}  // namespace ole
