#include "input/hover_geometry.h"

#include "common/checked_int.h"

namespace cardel::input {

std::optional<POINT> CornerFromPointer(POINT pointer, double x, double y) noexcept {
  const auto cx = RoundToInt32(pointer.x - x);
  const auto cy = RoundToInt32(pointer.y - y);
  if (!cx || !cy) return std::nullopt;
  return POINT{*cx, *cy};
}

std::optional<RECT> TrackedRect(const EnterOrigin& origin, POINT position, SIZE size) noexcept {
  try {
    const CheckedInt left =
        CheckedInt(origin.cornerX) - (CheckedInt(origin.reportedLeft) - CheckedInt(position.x));
    const CheckedInt top = CheckedInt(origin.cornerY) - (CheckedInt(origin.reportedTop) - CheckedInt(position.y));
    const CheckedInt right = left + CheckedInt(size.cx);
    const CheckedInt bottom = top + CheckedInt(size.cy);
    return RECT{left.value(), top.value(), right.value(), bottom.value()};
  } catch (const ArithmeticOverflow&) {
    return std::nullopt;
  }
}

bool Inside(const RECT& rect, POINT point) noexcept {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

}  // namespace cardel::input
