#pragma once
// The questions the caption layout asks GDI+ about its text. Behind this interface sits GDI+
// itself when drawing (gdiplus_text_measure.h) and a table of fixed advances in the tests.
#include <cstddef>
#include <string_view>

namespace cardel {

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // Code units of text that GDI+ sets on the first line when it wraps text at the layout width.
  // text holds no hard line break.
  virtual size_t FirstLineLength(std::wstring_view text) = 0;
  // Advance width of text set on one line, trailing spaces included, end margins excluded.
  virtual float Width(std::wstring_view text) = 0;
  // Distance from one line's top to the next one's; 0 when the font cannot be measured at all.
  virtual float LineHeight() = 0;
  // Room GDI+'s default string format keeps free at each end of every line.
  virtual float EndMargin() = 0;
};

}  // namespace cardel
