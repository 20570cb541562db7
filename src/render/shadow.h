#pragma once
// The one shadow the properties describe, cast alike by the box, the caption and the picture: the
// stored values, and the one place their lengths meet the screen DPI.
#include <windows.h>
#include <olectl.h>

#include <cstdint>

#include "render/box_layout.h"

namespace cardel {

struct Shadow {
  int16_t size = 0;  // as stored: a size of 0 casts nothing at any DPI
  int16_t offsetX = 0;
  int16_t offsetY = 0;
  OLE_COLOR colour = 0;
  int16_t opacity = 0;  // percent

  // The blur radius, which is also the margin a blurred image grows by on every side; and the
  // offsets, at the given DPI scale. Each throws ArithmeticOverflow past 16 bits.
  int16_t Radius(float dpiScale) const;
  int16_t ScaledOffsetX(float dpiScale) const;
  int16_t ScaledOffsetY(float dpiScale) const;
};

// Where the blurred image of what fills `rect` lands: `radius` further out on every side.
// Throws ArithmeticOverflow past 32 bits.
IntRect BlurredRect(const IntRect& rect, int16_t radius);

}  // namespace cardel
