#pragma once
// TextMeasure answered by GdipMeasureString, the one part of GDI+ text layout that gives the
// platform's own answer everywhere (Windows and Wine alike). The text is measured at the font's
// design size and scaled down: outlines in a path carry no hinting, so their advances are the
// design advances, which hinted measurement at small sizes overstates (Wine measures hinted
// whatever the rendering hint says).
#include "common/gdiplus_handles.h"
#include "content/text_measure.h"

namespace cardel {

class GdiplusTextMeasure final : public TextMeasure {
 public:
  // style: GDI+ font style bits; only bold and italic change how wide text is. layoutWidth is
  // the width GDI+ wraps at; it is ignored when wrap is off.
  GdiplusTextMeasure(Gdiplus::GpGraphics* graphics, Gdiplus::GpFontFamily* family, int style, float emSize,
                     bool wrap, float layoutWidth);

  size_t FirstLineLength(std::wstring_view text) override;
  float Width(std::wstring_view text) override;
  float LineHeight() override;
  float EndMargin() override;

 private:
  Gdiplus::GpGraphics* graphics_;
  float emSize_;
  float scale_ = 1;  // caption pixels per measured pixel
  float layoutWidth_;  // in measured pixels
  float lineHeight_ = -1;
  gdip::UniqueFont font_;
  gdip::UniqueStringFormat breaking_;  // the caption's own format: where GDI+ breaks lines
  gdip::UniqueStringFormat tight_;     // no margins, no wrapping: plain advance widths
};

// A copy of GDI+'s typographic format that keeps a line on one line and trailing spaces in its
// width: the format lines are measured with and added to the path with.
gdip::UniqueStringFormat SingleLineFormat();

}  // namespace cardel
