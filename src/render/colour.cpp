#include "render/colour.h"

#include <cmath>

#include "common/rounding.h"

namespace cardel {

ArgbResult ComposeARGB(COLORREF rgb, int32_t opacity) {
  // In double and in this order, so the halves at 10, 30, 50, 70 and 90 percent land on the even
  // neighbour (50 → 128, 30 → 76) like every other rounding in the control.
  const auto alpha = RoundToInt32(std::fabs(static_cast<double>(opacity)) / 100 * 255);
  if (!alpha || *alpha > 255) return {0, RenderError::Overflow};
  const uint32_t red = GetRValue(rgb);
  const uint32_t green = GetGValue(rgb);
  const uint32_t blue = GetBValue(rgb);
  return {static_cast<uint32_t>(*alpha) << 24 | red << 16 | green << 8 | blue, std::nullopt};
}

COLORREF ResolvedColour(OLE_COLOR colour) noexcept {
  COLORREF rgb = colour;
  if (FAILED(OleTranslateColor(colour, nullptr, &rgb))) rgb = colour;
  return rgb;
}

ArgbResult ToARGB(OLE_COLOR colour, int32_t opacity) { return ComposeARGB(ResolvedColour(colour), opacity); }

}  // namespace cardel
