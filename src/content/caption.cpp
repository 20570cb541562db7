#include "content/caption.h"

#include <string_view>

#include "common/rounding.h"
#include "content/caption_geometry.h"
#include "content/checked_values.h"
#include "content/font_lookup.h"
#include "content/hotkey_prefix.h"
#include "content/icon_glyph.h"
#include "content/text_drawing.h"

namespace cardel {
namespace {

constexpr int16_t kOpaque = 100;

int32_t Rounded(float value) {
  const auto rounded = RoundToInt32(value);
  if (!rounded) throw ArithmeticOverflow{};
  return *rounded;
}

BodyRect MeasureCaption(Gdiplus::GpGraphics* graphics, TextPiece piece, const BodyRect& rect) {
  piece.box = {static_cast<float>(rect.x), static_cast<float>(rect.y), static_cast<float>(rect.width),
               static_cast<float>(rect.height)};
  const LayoutBounds bounds = MeasureTextPiece(graphics, piece);
  return {Rounded(bounds.x), Rounded(bounds.y), Rounded(bounds.width), Rounded(bounds.height)};
}

}  // namespace

CaptionResult DrawCaption(Gdiplus::GpGraphics* graphics, BodyRect& rect, const CaptionInputs& inputs,
                          CaptionPass pass, KeptCaption* kept) {
  if (!graphics) return {};
  const gdip::UniqueFontFamily family =
      FindFontFamily(inputs.FontName, inputs.FontCollection, FontFallback::GenericSansSerif);
  if (!family) return {};
  const FontMetrics metrics = CheckedFontMetrics(inputs.Font);
  const std::wstring_view caption = std::wstring_view(inputs.Caption).substr(0, inputs.Caption.find(L'\0'));
  const HotkeyText text = ApplyHotkeyPrefix(caption, inputs.CaptionShowPrefix);
  TextPiece piece{text.text,
                  text.marked,
                  family.get(),
                  metrics.style,
                  static_cast<float>(metrics.emPixels),
                  {inputs.WordWrap, inputs.CaptionTriming, inputs.CaptionAlignmentH, inputs.CaptionAlignmentV},
                  {}};
  if (pass == CaptionPass::Measure) {
    rect = MeasureCaption(graphics, piece, rect);
    return {true};
  }

  const bool shadow = pass == CaptionPass::Shadow;
  piece.box = PaddedBox(rect, inputs.CaptionPaddingX, inputs.CaptionPaddingY, inputs.DpiScale);
  const Turn turn = CaptionTurn(inputs.CaptionAngle, shadow, rect, inputs.ControlSize);
  Ink ink;
  ink.fill = shadow ? inputs.ShadowArgb : CheckedArgb(inputs.ForeColor, inputs.ForeColorOpacity);
  if (inputs.CaptionBorderWidth > 0) {
    ink.outlineWidth = inputs.CaptionBorderWidth;
    ink.outline = shadow ? inputs.ShadowArgb : CheckedArgb(inputs.CaptionBorderColor, kOpaque);
  }
  const bool keep = kept && pass == CaptionPass::Paint;
  DrawTextPiece(graphics, piece, turn, ink, keep ? &kept->text : nullptr);
  DrawIconGlyph(graphics, rect, inputs, pass, turn, ink, keep ? &kept->glyph : nullptr);
  return {true};
}

}  // namespace cardel
