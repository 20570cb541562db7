#pragma once
// Where the box sits inside the control: the room kept for the border and for the box shadow,
// and where the cached shadow image is drawn. Plain arithmetic, so it is tested without a device.
#include <cstdint>

#include "common/checked_int.h"

namespace cardel {

// Lengths already scaled by the screen DPI.
struct ScaledMetrics {
  int16_t shadowSize = 0;
  int16_t shadowOffsetX = 0;
  int16_t shadowOffsetY = 0;
  int16_t borderWidth = 0;
};

struct IntRect {
  int32_t x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const IntRect&, const IntRect&) = default;
};

struct BoxLayoutInput {
  float clientWidth = 0;
  float clientHeight = 0;
  int32_t borderPosition = 0;  // eBorderPosition
  bool backShadowIsTrue = false;  // the property compared with True exactly
  int16_t shadowSizeProperty = 0;  // unscaled: a shadow of size 0 takes no room at any DPI
  ScaledMetrics metrics;
};

// Throws ArithmeticOverflow when absurd values leave 32 bits.
IntRect ComputeBoxRect(const BoxLayoutInput& input);

// The box shadow image spans the control less the offset, moved towards the offset's side.
IntRect BoxShadowImageRect(float clientWidth, float clientHeight, int16_t offsetX, int16_t offsetY);

// The border's own outline when it lies outside the box: along the middle of a border-wide frame
// at the control's edge.
IntRect OutsideBorderRect(float clientWidth, float clientHeight, int16_t borderWidth);

}  // namespace cardel
