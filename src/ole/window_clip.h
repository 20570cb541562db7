#pragma once
// The part of a control's own window a container's clip rectangle leaves visible.
#include <windows.h>

#include <optional>

namespace ole {

// In the window's own coordinates; none when the clip leaves the whole position rectangle visible.
// Both rectangles are in the container window's client coordinates.
std::optional<RECT> VisiblePartOfWindow(const RECT& position, const RECT& clip) noexcept;

}  // namespace ole
