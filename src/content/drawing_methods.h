#pragma once
// DrawText, DrawLine and Polygon: each draws on the caller's device context with a Graphics of
// its own, deleted before it returns, and reads nothing of the control but its DPI scale.
// Lengths arrive in 96-DPI pixels and are scaled by dpiScale, except where a method says not.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <span>
#include <string_view>

#include "content/method_result.h"

namespace cardel {

struct TextRequest {
  std::wstring_view text;  // drawn up to its first NUL
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  IFont* font = nullptr;  // the face by name among the installed fonts, else the generic sans-serif
  OLE_COLOR foreColor = 0;
  int16_t colorOpacity = 100;  // clamped to 0..100
  int32_t hAlign = 0;          // CaptionAlignmentH, handed to GDI+ as it is
  int32_t vAlign = 0;          // CaptionAlignmentV
  bool wordWrap = false;
};

// The font is sized for logPixelsY, the target's own vertical DPI, so text printed on a printer
// has its point size there; the rectangle is still scaled by the screen's dpiScale. Answers the
// measured height with word wrap, the width without, in 96-DPI pixels; 0 when nothing could be
// drawn. The text keeps GDI+'s default rendering, without smoothing. Raises a RenderError for a font
// size past 32 bits; throws std::bad_alloc.
MethodResult<int32_t> DrawTextOn(HDC dc, const TextRequest& request, float dpiScale, int logPixelsY);

struct LineRequest {
  int32_t x1 = 0;
  int32_t y1 = 0;
  int32_t x2 = 0;
  int32_t y2 = 0;
  OLE_COLOR colour = 0;
  int16_t opacity = 100;  // not clamped: above 100 is Overflow
  int16_t penWidth = 1;   // scaled, not rounded
};

// Anti-aliased; true when GDI+ drew the line. Raises a RenderError for an opacity past 100.
MethodResult<bool> DrawLineOn(HDC dc, const LineRequest& line, float dpiScale);

// integers: x and y alternating, in device pixels; a trailing odd one is ignored. A penWidth
// below 1 fills the polygon (winding), any other outlines it penWidth device pixels wide at
// every DPI. Opacity is not clamped: past 100 raises a RenderError. True when GDI+ drew it. Throws
// std::bad_alloc.
MethodResult<bool> DrawPolygonOn(HDC dc, int32_t penWidth, OLE_COLOR colour, int16_t opacity,
                                 std::span<const int32_t> integers);

}  // namespace cardel
