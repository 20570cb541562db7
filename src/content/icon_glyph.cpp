#include "content/icon_glyph.h"

#include "content/checked_values.h"
#include "content/font_lookup.h"
#include "content/icon_code.h"

namespace cardel {

void DrawIconGlyph(Gdiplus::GpGraphics* graphics, const BodyRect& rect, const CaptionInputs& inputs,
                   CaptionPass pass, const Turn& turn, const Ink& outline, KeptPiece* kept) {
  if (inputs.IconCharCode == 0) return;
  // A code that names no character has nothing to draw; the property already accepted it.
  const IconCodeText glyph = ChrW2(inputs.IconCharCode);
  if (glyph.error || glyph.text.empty()) return;
  const gdip::UniqueFontFamily family =
      FindFontFamily(inputs.IconFontName, inputs.FontCollection, FontFallback::None);
  if (!family) return;
  const FontMetrics metrics = CheckedFontMetrics(inputs.IconFont);

  // Wrapping is left on as in the caption's default format; one glyph never wraps anyway.
  const TextPiece piece{glyph.text,
                        {},
                        family.get(),
                        metrics.style,
                        static_cast<float>(metrics.emPixels),
                        {true, 0, inputs.IconAlignmentH, inputs.IconAlignmentV},
                        PaddedBox(rect, inputs.IconPaddingX, inputs.IconPaddingY, inputs.DpiScale)};
  Ink ink = outline;
  ink.fill = pass == CaptionPass::Shadow ? inputs.ShadowArgb : CheckedArgb(inputs.IconForeColor, inputs.IconOpacity);
  DrawTextPiece(graphics, piece, turn, ink, kept);
}

}  // namespace cardel
