#include "content/caption_layout.h"

#include <algorithm>
#include <cmath>

#include "content/text_trimming.h"
#include "content/text_units.h"

namespace cardel {
namespace {

// GDI+ is asked about this many code units of a long paragraph first, so that a huge caption
// costs a little per line instead of a full layout of everything that follows.
constexpr size_t kFirstWindow = 256;

struct Piece {
  size_t start = 0;
  size_t end = 0;           // without the spaces the line break swallowed
  size_t paragraphEnd = 0;  // where the hard line break (or the text) ends the paragraph
};

// GDI+ fills lines greedily, so once the first line ends well inside the part that was measured,
// the rest of the paragraph cannot move that break. A line always takes at least one character,
// as GDI+ breaks a word that is wider than the line.
size_t FirstLine(std::wstring_view paragraph, TextMeasure& measure) {
  for (size_t window = kFirstWindow;; window *= 2) {
    const bool whole = window >= paragraph.size();
    const std::wstring_view part = whole ? paragraph : paragraph.substr(0, text::CharacterEnd(paragraph, window));
    const size_t length = std::min(measure.FirstLineLength(part), part.size());
    if (whole || length < part.size() / 2)
      return std::max(text::CharacterEnd(part, length), text::NextBoundary(paragraph, 0));
  }
}

size_t LineBudget(float height, float lineHeight, size_t textLength) {
  if (height == 0) return textLength + 1;
  // A line that is only partly inside the box is still shown, as GDI+ does without its line-limit flag.
  const double lines = std::ceil(static_cast<double>(height) / lineHeight);
  return lines >= static_cast<double>(textLength + 1) ? textLength + 1 : static_cast<size_t>(lines);
}

// Offset of a block of the given size inside extent; an extent of 0 is a point to align on.
// GDI+ refuses alignments it does not know and keeps near, so those align near here too.
float AlignOffset(int32_t alignment, float extent, float size) {
  switch (alignment) {
    case 1:
      return (extent - size) / 2;
    case 2:
      return extent - size;
    default:
      return 0;
  }
}

std::vector<Piece> BreakLines(std::wstring_view text, bool wrap, size_t budget, TextMeasure& measure,
                              bool* hidesText) {
  std::vector<Piece> pieces;
  size_t pos = 0;
  while (pos < text.size() && pieces.size() < budget) {
    const size_t paragraphEnd = text::FindHardBreak(text, pos);
    size_t end = paragraphEnd;
    if (wrap && pos < paragraphEnd) end = pos + FirstLine(text.substr(pos, paragraphEnd - pos), measure);
    pieces.push_back({pos, text::TrimLineEnd(text, pos, end), paragraphEnd});
    pos = end;
    while (pos < paragraphEnd && text::IsLineEndSpace(text[pos])) ++pos;
    if (pos == paragraphEnd) pos += text::HardBreakLength(text, pos);
  }
  *hidesText = pos < text.size();
  return pieces;
}

}  // namespace

TextLayout LayOutText(std::wstring_view text, const LayoutBox& box, const LayoutOptions& options,
                      TextMeasure& measure) {
  TextLayout layout;
  if (text.empty() || !(box.width >= 0) || !(box.height >= 0)) return layout;
  const float lineHeight = measure.LineHeight();
  if (!(lineHeight > 0) || !std::isfinite(lineHeight)) return layout;
  layout.lineHeight = lineHeight;
  layout.endMargin = measure.EndMargin();

  const bool limitedWidth = box.width > 0;
  const bool wrap = options.wrap && limitedWidth;
  bool hidesText = false;
  const std::vector<Piece> pieces =
      BreakLines(text, wrap, LineBudget(box.height, lineHeight, text.size()), measure, &hidesText);

  const float margin = layout.endMargin;
  const float room = box.width - 2 * margin;
  const float blockTop = box.y + AlignOffset(options.alignV, box.height, lineHeight * pieces.size());
  for (size_t i = 0; i < pieces.size(); ++i) {
    const Piece& piece = pieces[i];
    LaidLine line;
    line.head = {piece.start, piece.end - piece.start};
    float width = measure.Width(text.substr(piece.start, piece.end - piece.start));
    const bool last = i + 1 == pieces.size() && hidesText;
    const bool overflows = !wrap && limitedWidth && width > room;
    if (options.trimming != 0 && limitedWidth && (overflows || last)) {
      // The last line shown stands for everything after it: trimming fills it with as much of
      // its paragraph as fits instead of ending it where the line would have wrapped.
      const size_t end = wrap ? text::TrimLineEnd(text, piece.start, piece.paragraphEnd) : piece.end;
      const TrimResult trimmed = TrimLine(text.substr(piece.start, end - piece.start), room, options.trimming,
                                          last, measure);
      line.head.length = trimmed.headLength;
      line.ellipsis = trimmed.ellipsis;
      line.tail = {piece.start + trimmed.tailStart, trimmed.tailLength};
      width = measure.Width(DisplayText(text, line));
    }
    line.width = width;
    line.x = box.x + AlignOffset(options.alignH, box.width, width + 2 * margin) + margin;
    line.top = blockTop + lineHeight * i;
    layout.lines.push_back(line);
  }
  return layout;
}

std::wstring DisplayText(std::wstring_view text, const LaidLine& line) {
  std::wstring shown(text.substr(line.head.start, line.head.length));
  if (line.ellipsis) shown += kEllipsis;
  shown += text.substr(line.tail.start, line.tail.length);
  return shown;
}

LayoutBounds BoundsOf(const TextLayout& layout, const LayoutBox& box) {
  if (layout.lines.empty()) return {box.x, box.y, 0, 0};
  float left = layout.lines.front().x, right = left;
  for (const LaidLine& line : layout.lines) {
    left = std::min(left, line.x);
    right = std::max(right, line.x + line.width);
  }
  const float margin = layout.endMargin;
  return {left - margin, layout.lines.front().top, right - left + 2 * margin,
          layout.lineHeight * layout.lines.size()};
}

}  // namespace cardel
