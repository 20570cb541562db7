#pragma once
// A TextMeasure with round numbers: every character 10 wide, a space 5, the ellipsis 6; lines
// 20 apart; 2 of margin at each line end. Its line breaking is GDI+'s greedy word wrap, counting
// the spaces at a break either as part of the line (as Windows reports) or not (as Wine does).
#include <algorithm>
#include <cstddef>
#include <string_view>

#include "content/caption_layout.h"
#include "content/text_measure.h"

namespace cardel::testing {

class FixedAdvanceMeasure final : public TextMeasure {
 public:
  static constexpr float kLineHeight = 20;
  static constexpr float kMargin = 2;

  explicit FixedAdvanceMeasure(float layoutWidth, bool countsBreakSpaces = false)
      : room_(layoutWidth - 2 * kMargin), countsBreakSpaces_(countsBreakSpaces) {}

  static float Advance(wchar_t c) {
    if (c == L' ') return 5;
    if (c == kEllipsis) return 6;
    if (c >= 0xDC00 && c <= 0xDFFF) return 0;  // the second half of a pair adds nothing
    return 10;
  }

  size_t FirstLineLength(std::wstring_view text) override {
    ++lineQueries;
    longestQuery = std::max(longestQuery, text.size());
    size_t end = 0;
    for (size_t i = 0; i < text.size();) {
      while (i < text.size() && text[i] == L' ') ++i;
      while (i < text.size() && text[i] != L' ') ++i;
      if (Width(text.substr(0, i)) > room_) break;
      end = i;
    }
    if (end == 0) {
      while (end < text.size() && Width(text.substr(0, end + 1)) <= room_) ++end;
      return end;
    }
    if (countsBreakSpaces_)
      while (end < text.size() && text[end] == L' ') ++end;
    return end;
  }

  float Width(std::wstring_view text) override {
    float width = 0;
    for (wchar_t c : text) width += Advance(c);
    return width;
  }

  float LineHeight() override { return lineHeight; }
  float EndMargin() override { return kMargin; }

  float lineHeight = kLineHeight;
  int lineQueries = 0;
  size_t longestQuery = 0;

 private:
  float room_;
  bool countsBreakSpaces_;
};

}  // namespace cardel::testing
