#pragma once
// DrawCaption: the caption as a filled and outlined text path, then the icon glyph on top of it,
// both turned by CaptionAngle. One routine serves the paint pipeline, the caption shadow (drawn
// into the body-sized shadow bitmap) and auto-size (which only measures).
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <string>

#include "common/gdiplus_handles.h"
#include "content/text_drawing.h"
#include "render/outline.h"

namespace cardel {

// The property values DrawCaption reads, named after their properties.
struct CaptionInputs {
  std::wstring Caption;  // drawn up to its first NUL
  // The face is looked up by this name; size and style come from the font object.
  std::wstring FontName;
  IFont* Font = nullptr;
  OLE_COLOR ForeColor = 0;
  int16_t ForeColorOpacity = 100;
  OLE_COLOR CaptionBorderColor = 0;
  int16_t CaptionBorderWidth = 0;  // pixels at every DPI
  int32_t CaptionAlignmentH = 0;
  int32_t CaptionAlignmentV = 0;
  int16_t CaptionPaddingX = 0;
  int16_t CaptionPaddingY = 0;
  int32_t CaptionTriming = 0;
  bool WordWrap = true;
  bool CaptionShowPrefix = false;
  int16_t CaptionAngle = 0;

  int32_t IconCharCode = 0;  // 0: no icon
  std::wstring IconFontName;
  IFont* IconFont = nullptr;
  OLE_COLOR IconForeColor = 0;
  int16_t IconOpacity = 0;
  int32_t IconAlignmentH = 0;
  int32_t IconAlignmentV = 0;
  int16_t IconPaddingX = 0;
  int16_t IconPaddingY = 0;

  // Fill and outline colour of caption and icon in the shadow pass (the blur keeps its alpha).
  uint32_t ShadowArgb = 0;
  float DpiScale = 1.0f;
  Gdiplus::GpFontCollection* FontCollection = nullptr;
  SIZE ControlSize{};  // the control's client size: the caption turns about its centre
};

enum class CaptionPass {
  Paint,    // onto the control, turning about the control's centre
  Shadow,   // into a bitmap the size of the rectangle, turning about its centre, in ShadowArgb
  Measure,  // nothing drawn: rect receives the caption's bounding box
};

struct CaptionResult {
  // False when not even the generic sans-serif family could be had: nothing was drawn, and in
  // the measure pass rect is unchanged.
  bool fontFound = false;
};

// The caption's and the glyph's outlines, kept between paints of one kind of Graphics.
struct KeptCaption {
  KeptPiece text;
  KeptPiece glyph;
};

// rect: where the caption and the icon are laid out (the body rectangle when painting). In the
// measure pass it is the layout rectangle, a width or height of 0 meaning no limit, and receives
// the bounding box rounded to whole pixels. Throws ArithmeticOverflow when a colour or size
// cannot be represented; what was drawn until then stays. kept serves the paint pass only.
CaptionResult DrawCaption(Gdiplus::GpGraphics* graphics, BodyRect& rect, const CaptionInputs& inputs,
                          CaptionPass pass, KeptCaption* kept = nullptr);

}  // namespace cardel
