#pragma once
// What one paint works out once and every layer reads: the control's own size, the DPI-scaled
// lengths, the box rectangle and the box's outline. Built before the first layer draws, so the
// layers agree on one shape and none of them asks the site or the properties again.
#include <windows.h>

#include <cstdint>

#include "render/box_layout.h"
#include "render/outline.h"
#include "render/shadow.h"

namespace cardel {

struct PaintContextInput {
  SIZE client{};
  // The outline's shape properties at their stored lengths, with the DPI scale; the rectangle is
  // the box's, worked out here.
  OutlineInput shape;
  Shadow shadow;
  bool backShadowIsTrue = false;  // the property compared with True exactly
};

struct PaintContext {
  SIZE client{};
  float dpiScale = 1.0f;
  ScaledMetrics metrics;
  IntRect box;
  // The box's outline input at the box rectangle, which the outside border starts from.
  OutlineInput outline;
  OutlineGeometry shape;

  float width() const noexcept { return static_cast<float>(client.cx); }
  float height() const noexcept { return static_cast<float>(client.cy); }
};

// Throws ArithmeticOverflow when a scaled length leaves 16 bits or the geometry leaves 32.
PaintContext MakePaintContext(const PaintContextInput& input);

}  // namespace cardel
