#include "render/download_ring.h"

#include <algorithm>

#include "render/colour.h"

namespace cardel {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

constexpr int32_t kNear = 0, kCentre = 1, kFar = 2;
// Black and the accent colour 0xFFCC00 (OLE order), both at half opacity.
constexpr COLORREF kTrackColour = 0x000000;
constexpr COLORREF kArcColour = 0xFFCC00;

// Where a length of ring sits along one side of the body; other alignment values keep the body's edge.
CheckedInt Place(int32_t align, int16_t padding, float scale, CheckedInt start, CheckedInt extent, CheckedInt ring) {
  const double pad = float(padding) * scale;
  switch (align) {
    case kNear: return CheckedInt::Round(pad + start.value());
    case kCentre: return CheckedInt::Round(pad + (start + extent.Half() - ring.Half()).value());
    case kFar: return CheckedInt::Round((start + extent - ring).value() - pad);
    default: return start;
  }
}

void StrokeArc(GpGraphics* graphics, COLORREF colour, float width, const IntRect& box, float start, float sweep) {
  const gdip::UniquePen pen = gdip::SolidPen(ComposeARGB(colour, 50).argb, width);
  if (pen) GdipDrawArcI(graphics, pen.get(), box.x, box.y, box.width, box.height, start, sweep);
}

}  // namespace

IntRect DownloadRingBox(const RingLayout& in, const BodyRect& body) {
  const CheckedInt hx = (in.pictureSetWidth ? CheckedInt{in.pictureSetWidth} : CheckedInt::Round(in.clientWidth)).Half();
  const CheckedInt hy =
      (in.pictureSetHeight ? CheckedInt{in.pictureSetHeight} : CheckedInt::Round(in.clientHeight)).Half();
  const CheckedInt d = CheckedInt::Round(double(std::min(hx, hy).value()) * in.dpiScale);
  return {Place(in.alignH, in.paddingX, in.dpiScale, body.x, body.width, d).value(),
          Place(in.alignV, in.paddingY, in.dpiScale, body.y, body.height, d).value(), d.value(), d.value()};
}

RingArc ProgressArc(uint32_t bytesRead, uint32_t bytesMax, int32_t spinnerAngle) {
  if (bytesMax == 0) return {float(spinnerAngle - 90), 60.0f};
  return {-90.0f, float(360.0 * bytesRead / bytesMax)};
}

void DrawDownloadProgress(GpGraphics* graphics, const IntRect& box, const RingArc& arc, float dpiScale) {
  const float width = 3.0f * dpiScale;
  StrokeArc(graphics, kTrackColour, width, box, 0.0f, 360.0f);
  StrokeArc(graphics, kArcColour, width, box, arc.startAngle, arc.sweepAngle);
}

}  // namespace cardel
