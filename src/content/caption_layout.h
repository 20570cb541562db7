#pragma once
// Where each line of a caption goes. GDI+ answers where lines break and how wide text is
// (TextMeasure); this file turns those answers into lines placed in the layout box, trimmed and
// aligned, each to be added to the path on its own. Drawing a caption from these lines does not
// depend on the text-to-path call wrapping, trimming or aligning anything itself, which Wine's
// GDI+ does not do (it adds only the first line and ignores vertical centring).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "content/text_measure.h"

namespace cardel {

// A width or height of 0 sets no limit in that direction; a negative one leaves no room at all.
struct LayoutBox {
  float x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const LayoutBox&, const LayoutBox&) = default;
};

struct LayoutOptions {
  bool wrap = true;
  int32_t trimming = 0;  // GDI+ StringTrimming
  int32_t alignH = 0;    // GDI+ StringAlignment: near, centre, far
  int32_t alignV = 0;
  friend bool operator==(const LayoutOptions&, const LayoutOptions&) = default;
};

struct TextSpan {
  size_t start = 0;
  size_t length = 0;
  friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// One line as drawn: head, then an ellipsis if trimming put one there, then the tail that path
// ellipsis keeps of the line's end. Spans index the text that was laid out.
struct LaidLine {
  TextSpan head;
  bool ellipsis = false;
  TextSpan tail;
  float x = 0;      // pen position where the first character starts
  float top = 0;
  float width = 0;  // advance width of everything drawn on the line
};

struct TextLayout {
  std::vector<LaidLine> lines;
  float lineHeight = 0;
  float endMargin = 0;
};

struct LayoutBounds {
  float x = 0, y = 0, width = 0, height = 0;
};

inline constexpr wchar_t kEllipsis = 0x2026;

TextLayout LayOutText(std::wstring_view text, const LayoutBox& box, const LayoutOptions& options,
                      TextMeasure& measure);

// The characters a line draws, ellipsis included.
std::wstring DisplayText(std::wstring_view text, const LaidLine& line);

// The box GDI+ would report for the laid-out lines: every line with its end margins, the line
// height for each line. No lines: an empty box at the layout box's corner.
LayoutBounds BoundsOf(const TextLayout& layout, const LayoutBox& box);

}  // namespace cardel
