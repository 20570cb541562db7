#include "content/rule_metrics.h"

#include <algorithm>

#include "common/win_handles.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {

RuleMetrics ReadRuleMetrics(GpFontFamily* family, int style, float emSize) {
  RuleMetrics rules;
  UINT16 emHeight = 0, ascent = 0;
  WCHAR name[LF_FACESIZE] = {};
  if (!family || GdipGetEmHeight(family, style, &emHeight) != Ok || emHeight == 0 ||
      GdipGetCellAscent(family, style, &ascent) != Ok || GdipGetFamilyName(family, name, LANG_NEUTRAL) != Ok)
    return rules;

  // The face is opened at its design em, so GDI reports the rule positions in design units. A
  // family GDI cannot open (a private one) gets the metrics of GDI's substitute face.
  LOGFONTW face{};
  face.lfHeight = -static_cast<LONG>(emHeight);
  face.lfWeight = (style & FontStyleBold) ? FW_BOLD : FW_NORMAL;
  face.lfItalic = (style & FontStyleItalic) ? TRUE : FALSE;
  face.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(face.lfFaceName, name, LF_FACESIZE);
  const UniqueFont font(CreateFontIndirectW(&face));
  const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!font || !dc) return rules;
  const SelectedObject selected(dc.get(), font.get());
  OUTLINETEXTMETRICW metrics{};
  metrics.otmSize = sizeof metrics;
  if (!GetOutlineTextMetricsW(dc.get(), sizeof metrics, &metrics)) return rules;

  const float scale = emSize / emHeight;
  const float baseline = ascent * scale;
  rules.valid = true;
  rules.underlineTop = baseline - metrics.otmsUnderscorePosition * scale;
  rules.underlineThickness = std::max(static_cast<float>(metrics.otmsUnderscoreSize) * scale, kThinnestRule);
  rules.strikeoutTop = baseline - metrics.otmsStrikeoutPosition * scale;
  rules.strikeoutThickness = std::max(static_cast<float>(metrics.otmsStrikeoutSize) * scale, kThinnestRule);
  return rules;
}

}  // namespace cardel
