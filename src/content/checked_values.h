#pragma once
// Colours and font sizes for the caption, with their overflow raised the way the paint pipeline
// raises it: as ArithmeticOverflow, which the pipeline turns into run-time error 6. The colour
// conversion is the renderer's CheckedArgb.
#include <cstdint>

#include "common/checked_int.h"
#include "render/colour.h"
#include "render/font_metrics.h"

namespace cardel {

inline FontMetrics CheckedFontMetrics(IFont* font) {
  FontMetrics metrics = ReadFontMetrics(font);
  if (metrics.error) throw ArithmeticOverflow{};
  return metrics;
}

}  // namespace cardel
