#pragma once
// A closed outline moved inward: what an inset pen strokes along, computed here because some GDI+
// implementations ignore the inset alignment and centre the stroke on the outline instead.
#include <span>
#include <vector>

namespace cardel {

struct FloatPoint {
  float x = 0;
  float y = 0;
  friend bool operator==(const FloatPoint&, const FloatPoint&) = default;
};

// The polygon whose every side lies distance inside the matching side of polygon (closed, either
// orientation, repeated points allowed). Sides the move would turn around, as on a corner rounder
// than distance, drop out and their neighbours meet. Empty when nothing is left inside.
std::vector<FloatPoint> InsetPolygon(std::span<const FloatPoint> polygon, float distance);

}  // namespace cardel
