#include "content/drawing_methods.h"

#include <algorithm>
#include <vector>

#include "common/gdiplus_handles.h"
#include "common/rounding.h"
#include "content/font_lookup.h"
#include "render/colour.h"
#include "render/dpi.h"
#include "render/font_metrics.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using ole::RuntimeError;

namespace cardel {
namespace {

gdip::UniqueGraphics GraphicsOn(HDC dc, bool antiAlias) {
  gdip::UniqueGraphics graphics;
  GdipCreateFromHDC(dc, graphics.put());
  if (graphics && antiAlias) GdipSetSmoothingMode(graphics.get(), SmoothingModeAntiAlias);
  return graphics;
}

gdip::UniqueStringFormat TextFormat(const TextRequest& request) {
  gdip::UniqueStringFormat format;
  GdipCreateStringFormat(0, LANG_NEUTRAL, format.put());
  if (!format) return format;
  if (!request.wordWrap) GdipSetStringFormatFlags(format.get(), StringFormatFlagsNoWrap);
  GdipSetStringFormatAlign(format.get(), static_cast<StringAlignment>(request.hAlign));
  GdipSetStringFormatLineAlign(format.get(), static_cast<StringAlignment>(request.vAlign));
  return format;
}

}  // namespace

MethodResult<int32_t> DrawTextOn(HDC dc, const TextRequest& request, float dpiScale, int logPixelsY) {
  const int16_t opacity = std::clamp<int16_t>(request.colorOpacity, 0, 100);
  const gdip::UniqueGraphics graphics = GraphicsOn(dc, false);
  const gdip::UniqueFontFamily family = FindFontFamily(FontName(request.font), nullptr, FontFallback::GenericSansSerif);
  if (!family) return {};
  const gdip::UniqueStringFormat format = TextFormat(request);

  const FontMetrics metrics = ReadFontMetrics(request.font);
  if (metrics.error) RaiseRenderError(*metrics.error);
  CY points{};
  if (request.font) request.font->get_Size(&points);
  const auto emPixels = EmPixelsFromPoints(points, logPixelsY);
  if (!emPixels) return {0, RuntimeError::Overflow};
  gdip::UniqueFont font;
  GdipCreateFont(family.get(), static_cast<REAL>(*emPixels), metrics.style, UnitPixel, font.put());

  const RectF layout(request.x * dpiScale, request.y * dpiScale, request.width * dpiScale, request.height * dpiScale);
  const std::wstring_view text = request.text.substr(0, request.text.find(L'\0'));
  const int length = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
  const gdip::UniqueBrush brush = gdip::SolidFill(ToARGB(request.foreColor, opacity).argb);
  GdipDrawString(graphics.get(), text.data(), length, font.get(), &layout, format.get(), brush.get());

  RectF bounds;
  GdipMeasureString(graphics.get(), text.data(), length, font.get(), &layout, format.get(), &bounds, nullptr, nullptr);
  const auto result = RoundToInt32((request.wordWrap ? bounds.Height : bounds.Width) / static_cast<double>(dpiScale));
  if (!result) return {0, RuntimeError::Overflow};
  return {*result};
}

MethodResult<bool> DrawLineOn(HDC dc, const LineRequest& line, float dpiScale) {
  const ArgbResult colour = ToARGB(line.colour, line.opacity);
  if (colour.error) RaiseRenderError(*colour.error);
  const auto x1 = ScaleLength(line.x1, dpiScale), y1 = ScaleLength(line.y1, dpiScale);
  const auto x2 = ScaleLength(line.x2, dpiScale), y2 = ScaleLength(line.y2, dpiScale);
  if (!x1 || !y1 || !x2 || !y2) return {false, RuntimeError::Overflow};
  const gdip::UniqueGraphics graphics = GraphicsOn(dc, true);
  if (!graphics) return {};
  const gdip::UniquePen pen = gdip::SolidPen(colour.argb, line.penWidth * dpiScale);
  return {GdipDrawLineI(graphics.get(), pen.get(), *x1, *y1, *x2, *y2) == Ok};
}

MethodResult<bool> DrawPolygonOn(HDC dc, int32_t penWidth, OLE_COLOR colour, int16_t opacity,
                                 std::span<const int32_t> integers) {
  const ArgbResult argb = ToARGB(colour, opacity);
  if (argb.error) RaiseRenderError(*argb.error);
  const gdip::UniqueGraphics graphics = GraphicsOn(dc, true);
  if (!graphics) return {};
  std::vector<GpPoint> points;
  points.reserve(integers.size() / 2);
  for (size_t i = 0; i + 1 < integers.size(); i += 2) points.emplace_back(integers[i], integers[i + 1]);
  const int count = static_cast<int>(points.size());
  if (penWidth < 1) {
    const gdip::UniqueBrush brush = gdip::SolidFill(argb.argb);
    return {GdipFillPolygonI(graphics.get(), brush.get(), points.data(), count, FillModeWinding) == Ok};
  }
  const gdip::UniquePen pen = gdip::SolidPen(argb.argb, static_cast<REAL>(penWidth));
  return {GdipDrawPolygonI(graphics.get(), pen.get(), points.data(), count) == Ok};
}

}  // namespace cardel
