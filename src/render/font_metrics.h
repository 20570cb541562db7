#pragma once
// What GDI+ needs of an OLE font to draw text as a path: the style bits and the em size in
// pixels at the screen's vertical DPI.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <optional>

#include "render/render_error.h"

namespace cardel {

// Style: Bold 1, Italic 2, Underline 4, Strikeout 8 (GDI+ FontStyle).
struct FontMetrics {
  int32_t style = 0;
  int32_t emPixels = 0;
  std::optional<RenderError> error;
};

// The point size is rounded to whole points (halves to even) before it meets the DPI, so 8.25 pt
// draws as 8 pt. A size beyond 32 bits of points is Overflow.
std::optional<int32_t> EmPixelsFromPoints(CY size, int logPixelsY);

// A missing font reads as regular at 0 px rather than failing the paint that asked for it.
FontMetrics ReadFontMetrics(IFont* font);

}  // namespace cardel
