#include "render/shadow.h"

#include "common/checked_int.h"
#include "render/dpi.h"

namespace cardel {

int16_t Shadow::Radius(float dpiScale) const { return Scaled16(size, dpiScale); }
int16_t Shadow::ScaledOffsetX(float dpiScale) const { return Scaled16(offsetX, dpiScale); }
int16_t Shadow::ScaledOffsetY(float dpiScale) const { return Scaled16(offsetY, dpiScale); }

IntRect BlurredRect(const IntRect& rect, int16_t radius) {
  const CheckedInt r = radius;
  return {(CheckedInt{rect.x} - r).value(), (CheckedInt{rect.y} - r).value(), (CheckedInt{rect.width} + r + r).value(),
          (CheckedInt{rect.height} + r + r).value()};
}

}  // namespace cardel
