#pragma once
// Where a font puts its underline and strikeout, for drawing them as rectangles of the caption's
// own path: GDI+'s text-to-path call leaves them out on some platforms (Wine), and asking it
// for them as well would draw them twice on the others.
#include "common/gdiplus_handles.h"

namespace cardel {

// Distances from a line's top to the top edge of each rule, and the rules' thickness, in the
// units of the em size given. valid is false when the font's metrics cannot be read; the rules
// are then left out.
struct RuleMetrics {
  bool valid = false;
  float underlineTop = 0;
  float underlineThickness = 0;
  float strikeoutTop = 0;
  float strikeoutThickness = 0;
};

// style: GDI+ font style bits (bold and italic pick the face whose metrics are read).
RuleMetrics ReadRuleMetrics(Gdiplus::GpFontFamily* family, int style, float emSize);

// A rule thinner than this would vanish between pixel rows on a renderer without anti-aliasing.
inline constexpr float kThinnestRule = 1.0f;

}  // namespace cardel
