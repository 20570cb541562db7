#pragma once
// The blurred shadow of caption and icon: rebuilt lazily, on the first paint after something that
// shapes the caption changed, at the size of that paint's body rectangle; and where it is drawn.
#include <windows.h>
#include <olectl.h>

#include <cstdint>

#include "common/gdiplus_handles.h"
#include "content/caption.h"
#include "render/box_layout.h"
#include "render/outline.h"
#include "render/shadow.h"

namespace cardel {

struct CaptionShadowRequest {
  BodyRect body;  // the body rectangle of the current paint
  Shadow shadow;  // its opacity reaches the caption through the caption's own shadow colour
  float dpiScale = 1.0f;
};

// Only while dirty: drops image, then, unless the shadow size is 0 or the caption is empty, draws
// caption and icon in their shadow pass into a body-sized bitmap, blurs it and clears dirty. An
// empty caption leaves dirty set, so the first paint after a caption is set builds the shadow;
// an icon alone casts none. Throws ArithmeticOverflow from the caption's own sizes and colours.
void BuildCaptionShadow(gdip::UniqueBitmap& image, bool& dirty, const CaptionShadowRequest& request,
                        const CaptionInputs& caption);

// Unstretched, the body grown by the shadow size on every side, moved by a positive offset once
// and by a negative or zero one twice. Throws ArithmeticOverflow past 32 bits.
IntRect CaptionShadowImageRect(const BodyRect& body, const ScaledMetrics& metrics);

}  // namespace cardel
