#pragma once
// One piece of text (the caption or the icon glyph) laid out from GDI+'s measurements, turned
// into a path, turned about its centre and painted: the code path both share.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/gdiplus_handles.h"
#include "content/caption_geometry.h"
#include "content/caption_layout.h"

namespace cardel {

struct TextPiece {
  std::wstring_view text;
  std::span<const size_t> marked;  // hot-key positions in text
  Gdiplus::GpFontFamily* family = nullptr;
  int style = 0;                   // GDI+ font style bits
  float emSize = 0;                // pixels
  LayoutOptions options;
  LayoutBox box;
};

struct Ink {
  uint32_t fill = 0;     // ARGB
  uint32_t outline = 0;  // ARGB
  float outlineWidth = 0;  // pixels, whatever the DPI; 0 draws no outline
};

// The Graphics is left as it was found.
void DrawTextPiece(Gdiplus::GpGraphics* graphics, const TextPiece& piece, const Turn& turn, const Ink& ink);

// The box GDI+ reports for the piece laid out in its box: no turning, nothing drawn.
LayoutBounds MeasureTextPiece(Gdiplus::GpGraphics* graphics, const TextPiece& piece);

}  // namespace cardel
