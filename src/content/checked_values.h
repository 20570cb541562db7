#pragma once
// Colours and font sizes for the caption, with their errors raised the way the paint pipeline raises
// them, for its entry point to report. The colour conversion is the renderer's CheckedArgb.
#include <cstdint>

#include "common/checked_int.h"
#include "render/colour.h"
#include "render/font_metrics.h"

namespace cardel {

inline FontMetrics CheckedFontMetrics(IFont* font) {
  FontMetrics metrics = ReadFontMetrics(font);
  if (metrics.error) RaiseRenderError(*metrics.error);
  return metrics;
}

}  // namespace cardel
