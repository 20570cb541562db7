#include "render/font_metrics.h"

#include "common/rounding.h"
#include "common/win_handles.h"

namespace cardel {
namespace {

// A property the font fails to report counts as off, like a font that never had it.
template <class Getter>
int32_t StyleBit(IFont* font, Getter getter, int32_t bit) {
  BOOL on = FALSE;
  if (FAILED((font->*getter)(&on))) return 0;
  return on ? bit : 0;
}

}  // namespace

std::optional<int32_t> EmPixelsFromPoints(CY size, int logPixelsY) {
  // Currency holds ten-thousandths exactly, so the division leaves a true half where there is one.
  const auto points = RoundToInt32(static_cast<double>(size.int64) / 10000.0);
  if (!points) return std::nullopt;
  return MulDiv(*points, logPixelsY, 72);
}

FontMetrics ReadFontMetrics(IFont* font) {
  if (!font) return {};
  FontMetrics metrics;
  metrics.style = StyleBit(font, &IFont::get_Bold, 1) | StyleBit(font, &IFont::get_Italic, 2) |
                  StyleBit(font, &IFont::get_Underline, 4) | StyleBit(font, &IFont::get_Strikethrough, 8);
  CY size{};
  font->get_Size(&size);
  const WindowDc screen(nullptr);
  const auto em = EmPixelsFromPoints(size, GetDeviceCaps(screen.get(), LOGPIXELSY));
  if (!em) {
    metrics.error = RenderError::Overflow;
    return metrics;
  }
  metrics.emPixels = *em;
  return metrics;
}

}  // namespace cardel
