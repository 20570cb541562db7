#pragma once
// The blurred shadow of the whole box, built once per change of what shapes it and kept by the
// control; the paint pipeline only stretches it under the box.
#include <windows.h>
#include <olectl.h>

#include <cstdint>

#include "common/gdiplus_handles.h"
#include "render/outline.h"
#include "render/shadow.h"

namespace cardel {

struct BoxShadowInput {
  bool backShadow = false;  // the property is not False
  // The image does not depend on the offsets: the paint moves it by them.
  Shadow shadow;
  int16_t backColorOpacity = 0;
  bool border = false;
  // Corners, call-out, border width and position, and the DPI scale that every length here is
  // multiplied by; its rectangle and flags are the builder's own.
  OutlineInput shape;
  float clientWidth = 0;
  float clientHeight = 0;
};

// The outline of a box 2 ss smaller than the control (ss the scaled shadow size), filled, or only
// its border stroked when the box is transparent, blurred by ss and so grown back to about the
// control's size. Empty when there is no shadow to throw or no room for the box.
// Throws ArithmeticOverflow for absurd lengths, as the rest of the drawing code does.
gdip::UniqueBitmap RenderBoxShadow(const BoxShadowInput& input);

}  // namespace cardel
