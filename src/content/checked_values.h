#pragma once
// Colours and font sizes for the caption, with their overflow raised the way the paint pipeline
// raises it: as ArithmeticOverflow, which the pipeline turns into run-time error 6.
#include <cstdint>

#include "common/checked_int.h"
#include "render/colour.h"
#include "render/font_metrics.h"

namespace cardel {

inline uint32_t CheckedArgb(OLE_COLOR colour, int32_t opacity) {
  const ArgbResult result = ToARGB(colour, opacity);
  if (result.error) throw ArithmeticOverflow{};
  return result.argb;
}

inline FontMetrics CheckedFontMetrics(IFont* font) {
  FontMetrics metrics = ReadFontMetrics(font);
  if (metrics.error) throw ArithmeticOverflow{};
  return metrics;
}

}  // namespace cardel
