#include "content/text_path.h"

#include <climits>
#include <string>

#include "content/gdiplus_text_measure.h"
#include "content/rule_metrics.h"
#include "content/text_units.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {
namespace {

void AddRule(GpPath* path, float x, float top, float width, float thickness) {
  if (width > 0) GdipAddPathRectangle(path, x, top, width, thickness);
}

// Where the character at source position p sits in the line as drawn; npos when trimming
// dropped it.
size_t ShownPosition(const LaidLine& line, size_t p) {
  if (p >= line.head.start && p - line.head.start < line.head.length) return p - line.head.start;
  if (p >= line.tail.start && p - line.tail.start < line.tail.length)
    return line.head.length + (line.ellipsis ? 1 : 0) + (p - line.tail.start);
  return std::wstring::npos;
}

void AddHotkeyRules(GpPath* path, const PathText& source, const LaidLine& line, const std::wstring& shown,
                    const RuleMetrics& rules, TextMeasure& measure) {
  for (size_t marked : source.marked) {
    const size_t at = ShownPosition(line, marked);
    if (at == std::wstring::npos) continue;
    const float from = measure.Width(std::wstring_view(shown).substr(0, at));
    const float to = measure.Width(std::wstring_view(shown).substr(0, text::NextBoundary(shown, at)));
    AddRule(path, line.x + from, line.top + rules.underlineTop, to - from, rules.underlineThickness);
  }
}

}  // namespace

void AddLaidText(GpPath* glyphs, GpPath* rules, const PathText& source, const TextLayout& layout,
                 TextMeasure& measure) {
  if (!glyphs || !rules || !source.family || layout.lines.empty()) return;
  const gdip::UniqueStringFormat format = SingleLineFormat();
  const int glyphStyle = source.style & (FontStyleBold | FontStyleItalic);
  const bool underline = source.style & FontStyleUnderline;
  const bool strikeout = source.style & FontStyleStrikeout;
  RuleMetrics metrics;
  if (underline || strikeout || !source.marked.empty())
    metrics = ReadRuleMetrics(source.family, glyphStyle, source.emSize);

  for (const LaidLine& line : layout.lines) {
    const std::wstring shown = DisplayText(source.text, line);
    if (!shown.empty()) {
      const RectF origin(line.x, line.top, 0, 0);
      const int length = shown.size() > INT_MAX ? INT_MAX : static_cast<int>(shown.size());
      GdipAddPathString(glyphs, shown.c_str(), length, source.family, glyphStyle, source.emSize, &origin,
                        format.get());
    }
    if (!metrics.valid) continue;
    if (underline) AddRule(rules, line.x, line.top + metrics.underlineTop, line.width, metrics.underlineThickness);
    if (strikeout) AddRule(rules, line.x, line.top + metrics.strikeoutTop, line.width, metrics.strikeoutThickness);
    // An underlined line already underlines the hot key, and a second rectangle on top of the
    // first would cancel it out in the alternate fill.
    if (!underline) AddHotkeyRules(rules, source, line, shown, metrics, measure);
  }
}

}  // namespace cardel
