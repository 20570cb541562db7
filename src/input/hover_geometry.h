#pragma once
// Where the control is while the pointer rests on it. The rectangle is rebuilt from where the
// control was when the pointer entered, shifted by how far the control has moved since, so a
// control dragged under a resting pointer is not left by mistake.
#include <windows.h>

#include <optional>

namespace cardel::input {

struct EnterOrigin {
  // The control's top-left corner in the host window's client pixels, taken from the pointer.
  LONG cornerX = 0;
  LONG cornerY = 0;
  // The control's position as its host reports it, at the same moment.
  LONG reportedLeft = 0;
  LONG reportedTop = 0;
};

// The corner from the pointer and the point the host reported relative to the control; empty when
// it does not fit 32 bits.
std::optional<POINT> CornerFromPointer(POINT pointer, double x, double y) noexcept;

// `position` is the control's position now, as the host reports it. Empty when a coordinate does not
// fit 32 bits.
std::optional<RECT> TrackedRect(const EnterOrigin& origin, POINT position, SIZE size) noexcept;

// Left and top inclusive, right and bottom exclusive.
bool Inside(const RECT& rect, POINT point) noexcept;

}  // namespace cardel::input
