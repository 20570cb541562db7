#pragma once
// The hot line: the box's own outline filled through a clip that keeps only a band along one side,
// so the band follows the rounded corners and, on the tail's side, covers the tail as well.
#include <cstdint>

#include "common/gdiplus_handles.h"
#include "render/box_layout.h"

namespace cardel {

struct HotLineInput {
  float clientWidth = 0;
  float clientHeight = 0;
  int32_t position = 0;  // HotLinePosition: left, top, right, bottom
  int32_t borderPosition = 0;
  int16_t borderWidth = 0;
  bool backShadow = false;
  int16_t shadowSize = 0;
  int16_t shadowOffsetX = 0;
  int16_t shadowOffsetY = 0;
  int32_t width = 0;
  bool callOut = false;
  int32_t callOutPosition = 0;  // eCallOutPosition, numbered like HotLinePosition
  int32_t callOutLength = 0;
  float dpiScale = 1.0f;
};

// The rectangle removed from the drawing area; what the outline keeps outside it is the band.
// Its edges reproduce the box layout's own rounding, so the band meets the box exactly. Throws
// ArithmeticOverflow for lengths past 32 bits.
IntRect HotLineCutout(const HotLineInput& input);

// Leaves the clip reset to infinite, whatever the caller had set.
void DrawHotLine(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* outline, const IntRect& cutout, uint32_t argb);

}  // namespace cardel
