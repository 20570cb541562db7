#include "content/gdiplus_text_measure.h"

#include <climits>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {
namespace {

// GDI+'s default string format keeps a sixth of an em free at both ends of each line.
constexpr float kEndMarginEms = 1.0f / 6.0f;

int Length(std::wstring_view text) { return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size()); }

}  // namespace

gdip::UniqueStringFormat SingleLineFormat() {
  GpStringFormat* typographic = nullptr;
  GdipStringFormatGetGenericTypographic(&typographic);
  gdip::UniqueStringFormat format;
  if (!typographic || GdipCloneStringFormat(typographic, format.put()) != Ok) return {};
  INT flags = 0;
  GdipGetStringFormatFlags(format.get(), &flags);
  GdipSetStringFormatFlags(format.get(), flags | StringFormatFlagsNoWrap | StringFormatFlagsMeasureTrailingSpaces);
  return format;
}

GdiplusTextMeasure::GdiplusTextMeasure(GpGraphics* graphics, GpFontFamily* family, int style, float emSize,
                                       bool wrap, float layoutWidth)
    : graphics_(graphics), emSize_(emSize), tight_(SingleLineFormat()) {
  const int glyphStyle = style & (FontStyleBold | FontStyleItalic);
  UINT16 designEm = 0;
  float measuredEm = emSize;
  if (emSize > 0 && family && GdipGetEmHeight(family, glyphStyle, &designEm) == Ok && designEm > 0) {
    measuredEm = designEm;
    scale_ = emSize / designEm;
  }
  layoutWidth_ = wrap ? layoutWidth / scale_ : 0;
  GdipCreateFont(family, measuredEm, glyphStyle, UnitPixel, font_.put());
  // Only whole lines count, so a box one and a half lines high reports exactly the first line.
  GdipCreateStringFormat(StringFormatFlagsLineLimit | (wrap ? 0 : StringFormatFlagsNoWrap), LANG_NEUTRAL,
                         breaking_.put());
}

size_t GdiplusTextMeasure::FirstLineLength(std::wstring_view text) {
  const RectF box(0, 0, layoutWidth_, LineHeight() / scale_ * 1.5f);
  RectF bounds;
  INT fitted = 0, lines = 0;
  if (GdipMeasureString(graphics_, text.data(), Length(text), font_.get(), &box, breaking_.get(), &bounds, &fitted,
                        &lines) != Ok)
    return 0;
  return fitted > 0 ? static_cast<size_t>(fitted) : 0;
}

float GdiplusTextMeasure::Width(std::wstring_view text) {
  if (text.empty()) return 0;
  const RectF unlimited(0, 0, 0, 0);
  RectF bounds;
  if (GdipMeasureString(graphics_, text.data(), Length(text), font_.get(), &unlimited, tight_.get(), &bounds, nullptr,
                        nullptr) != Ok)
    return 0;
  return bounds.Width * scale_;
}

float GdiplusTextMeasure::LineHeight() {
  if (lineHeight_ < 0) {
    const RectF unlimited(0, 0, 0, 0);
    RectF bounds;
    lineHeight_ = GdipMeasureString(graphics_, L"X", 1, font_.get(), &unlimited, tight_.get(), &bounds, nullptr,
                                    nullptr) == Ok
                      ? bounds.Height * scale_
                      : 0;
  }
  return lineHeight_;
}

float GdiplusTextMeasure::EndMargin() { return emSize_ * kEndMarginEms; }

}  // namespace cardel
