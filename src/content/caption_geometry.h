#pragma once
// The rectangles and the turning point of the caption and the icon, as plain arithmetic.
#include <windows.h>

#include <cstdint>

#include "content/caption_layout.h"
#include "render/outline.h"

namespace cardel {

// The rectangle DrawCaption was given, inset by the padding on each side. The padding is grown
// by the DPI but not rounded, as the text is placed with sub-pixel precision anyway.
LayoutBox PaddedBox(const BodyRect& rect, int16_t paddingX, int16_t paddingY, float dpiScale);

struct Turn {
  float degrees = 0;  // clockwise on screen; 0 leaves the text upright
  float centreX = 0;
  float centreY = 0;
};

// On screen the caption turns about the control's centre wherever the body lies, so that a
// call-out tail does not shift it; in the shadow bitmap, which is the body alone, about the
// bitmap's centre.
Turn CaptionTurn(int16_t angle, bool shadowPass, const BodyRect& rect, SIZE control);

}  // namespace cardel
