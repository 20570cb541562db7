#pragma once
// The two layers every box has: its fill and its border.
#include <cstdint>

#include "common/gdiplus_handles.h"
#include "render/box_layout.h"

namespace cardel {

struct BackgroundFill {
  bool gradient = false;
  uint32_t solid = 0;        // ARGB, when not a gradient
  uint32_t from = 0, to = 0; // ARGB ends of the gradient
  float angle = 0;           // degrees, not scaled by the rectangle's aspect
  IntRect rect;              // the gradient spans the box rectangle, not the body
};

// Always fills, even with a fully transparent brush.
void FillBackground(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* outline, const BackgroundFill& fill);

enum class BorderAlignment { Inset, Centered };

// Throws std::bad_alloc when memory for an inset border's polygon runs out.
void StrokeBorder(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* outline, uint32_t argb, float width,
                  BorderAlignment alignment);

}  // namespace cardel
