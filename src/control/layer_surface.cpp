#include "control/layer_surface.h"

#include <cstdint>
#include <new>

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {
namespace {

gdip::UniqueBitmap BitmapOver(const ole::PaintSurface& pixels) noexcept {
  const SIZE size = pixels.Size();
  gdip::UniqueBitmap bitmap;
  GdipCreateBitmapFromScan0(size.cx, size.cy, size.cx * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(pixels.Bits()),
                            bitmap.put());
  return bitmap;
}

// Half-transparent white filled through a device context lands as premultiplied half white only
// where GDI+ blends onto the context's alpha.
bool ContextKeepsAlpha() noexcept {
  static const bool keeps = [] {
    const ole::PaintSurface probe(SIZE{1, 1});
    if (!probe) return false;
    {
      gdip::UniqueGraphics graphics;
      GdipCreateFromHDC(probe.Dc(), graphics.put());
      const gdip::UniqueBrush half = gdip::SolidFill(0x80FFFFFF);
      if (!graphics || !half || GdipFillRectangleI(graphics.get(), half.get(), 0, 0, 1, 1) != Ok) return false;
    }
    GdiFlush();
    const uint32_t pixel = *static_cast<const uint32_t*>(probe.Bits());
    const uint32_t alpha = pixel >> 24, red = pixel >> 16 & 0xFF;
    return alpha >= 0x7F && alpha <= 0x81 && red >= 0x7F && red <= 0x81;
  }();
  return keeps;
}

}  // namespace

std::unique_ptr<LayerSurface> LayerSurface::Make(SIZE size) noexcept {
  std::unique_ptr<LayerSurface> surface(new (std::nothrow) LayerSurface(size));
  if (!surface || !surface->pixels_) return nullptr;
  surface->image_ = BitmapOver(surface->pixels_);
  if (!surface->image_) return nullptr;
  return surface;
}

std::unique_ptr<LayerSurface> LayerSurface::Recycle(std::unique_ptr<LayerSurface> old, SIZE size) noexcept {
  if (!old || !old->HasSize(size)) {
    old.reset();
    return Make(size);
  }
  old->Clear();
  return old;
}

gdip::UniqueGraphics LayerSurface::Graphics() const noexcept {
  gdip::UniqueGraphics graphics;
  if (ContextKeepsAlpha())
    GdipCreateFromHDC(pixels_.Dc(), graphics.put());
  else
    GdipGetImageGraphicsContext(image_.get(), graphics.put());
  if (graphics) GdipSetSmoothingMode(graphics.get(), SmoothingModeAntiAlias);
  return graphics;
}

}  // namespace cardel
