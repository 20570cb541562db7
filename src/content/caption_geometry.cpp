#include "content/caption_geometry.h"

namespace cardel {

LayoutBox PaddedBox(const BodyRect& rect, int16_t paddingX, int16_t paddingY, float dpiScale) {
  const float insetX = paddingX * dpiScale;
  const float insetY = paddingY * dpiScale;
  return {rect.x + insetX, rect.y + insetY, rect.width - 2 * insetX, rect.height - 2 * insetY};
}

Turn CaptionTurn(int16_t angle, bool shadowPass, const BodyRect& rect, SIZE control) {
  if (shadowPass) return {static_cast<float>(angle), rect.width / 2.0f, rect.height / 2.0f};
  return {static_cast<float>(angle), control.cx / 2.0f, control.cy / 2.0f};
}

}  // namespace cardel
