#include "canvas.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel::testing {

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
  GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppPARGB, nullptr, bitmap_.put());
  if (bitmap_) GdipGetImageGraphicsContext(bitmap_.get(), graphics_.put());
  if (graphics_) GdipSetSmoothingMode(graphics_.get(), SmoothingModeAntiAlias);
}

Pixels Canvas::Read() const {
  Pixels pixels{width_, height_, std::vector<uint32_t>(static_cast<size_t>(width_) * height_)};
  BitmapData data{};
  data.Width = width_;
  data.Height = height_;
  data.Stride = width_ * 4;
  data.PixelFormat = PixelFormat32bppARGB;
  data.Scan0 = pixels.argb.data();
  const GpRect all{0, 0, width_, height_};
  if (GdipBitmapLockBits(bitmap_.get(), &all, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppARGB,
                         &data) == Ok)
    GdipBitmapUnlockBits(bitmap_.get(), &data);
  return pixels;
}

InkBox Canvas::Ink() const {
  return FindInk(Read(), [](uint32_t argb) { return (argb >> 24) != 0; });
}

InkBox Canvas::InkOf(uint32_t colour) const {
  return FindInk(Read(), [colour](uint32_t argb) { return argb == colour; });
}

void Canvas::Clear() { GdipGraphicsClear(graphics_.get(), 0); }

}  // namespace cardel::testing
