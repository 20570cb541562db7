#pragma once
// The icon glyph: one character of the icon font drawn after the caption, aligned and padded on
// its own but turned and outlined like the caption.
#include "content/caption.h"
#include "content/caption_geometry.h"
#include "content/text_drawing.h"

namespace cardel {

// outline: the caption's outline pen colour and width for this pass. Draws nothing when
// IconCharCode is 0 or names no character, or when the icon font is found nowhere (an icon has
// no fallback family).
void DrawIconGlyph(Gdiplus::GpGraphics* graphics, const BodyRect& rect, const CaptionInputs& inputs,
                   CaptionPass pass, const Turn& turn, const Ink& outline, KeptPiece* kept = nullptr);

}  // namespace cardel
