#include "content/caption_shadow.h"

#include "common/checked_int.h"
#include "render/blur_shadow_bitmap.h"

namespace cardel {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

CheckedInt Shift(int16_t offset) {
  const CheckedInt o = offset;
  return offset > 0 ? o : o + o;
}

}  // namespace

void BuildCaptionShadow(gdip::UniqueBitmap& image, bool& dirty, const CaptionShadowRequest& request,
                        const CaptionInputs& caption) {
  if (!dirty) return;
  image.reset();
  if (request.shadow.size == 0 || caption.Caption.empty()) return;

  const int32_t width = request.body.width, height = request.body.height;
  gdip::UniqueBitmap canvas;
  if (width > 0 && height > 0)
    GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppPARGB, nullptr, canvas.put());
  if (canvas) {
    {
      gdip::UniqueGraphics graphics;
      GdipGetImageGraphicsContext(canvas.get(), graphics.put());
      if (graphics) {
        GdipSetSmoothingMode(graphics.get(), SmoothingModeAntiAlias);
        BodyRect origin{0, 0, width, height};
        DrawCaption(graphics.get(), origin, caption, CaptionPass::Shadow);
      }
    }
    image = BlurShadow(canvas.get(), request.shadow.colour, request.shadow.Radius(request.dpiScale), 0, 0, width,
                       height);
  }
  dirty = false;
}

IntRect CaptionShadowImageRect(const BodyRect& body, const ScaledMetrics& metrics) {
  return BlurredRect({(CheckedInt{body.x} + Shift(metrics.shadowOffsetX)).value(),
                      (CheckedInt{body.y} + Shift(metrics.shadowOffsetY)).value(), body.width, body.height},
                     metrics.shadowSize);
}

}  // namespace cardel
