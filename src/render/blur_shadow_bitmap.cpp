#include "render/blur_shadow_bitmap.h"

#include <vector>

#include "common/checked_int.h"
#include "render/blur_shadow.h"
#include "render/colour.h"

namespace cardel {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// Unlocks on every way out, so an exception from the blur cannot leave the bitmap locked.
class LockedBits {
 public:
  LockedBits(GpBitmap* bitmap, const GpRect& area, UINT mode, BitmapData* userBuffer) noexcept : bitmap_(bitmap) {
    if (userBuffer) data_ = *userBuffer;
    locked_ = GdipBitmapLockBits(bitmap, &area, mode, PixelFormat32bppPARGB, &data_) == Ok;
  }
  LockedBits(const LockedBits&) = delete;
  LockedBits& operator=(const LockedBits&) = delete;
  ~LockedBits() {
    if (locked_) GdipBitmapUnlockBits(bitmap_, &data_);
  }

  bool Locked() const noexcept { return locked_; }
  const BitmapData& Data() const noexcept { return data_; }

 private:
  GpBitmap* bitmap_;
  BitmapData data_{};
  bool locked_ = false;
};

ShadowRgb ShadowRgbOf(OLE_COLOR colour) {
  const uint32_t argb = ToARGB(colour, 100).argb;
  return {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb)};
}

}  // namespace

gdip::UniqueBitmap BlurShadow(GpBitmap* source, OLE_COLOR colour, int16_t radius, int32_t x, int32_t y,
                              int32_t width, int32_t height) {
  if (!source || radius < 0) return {};
  if (radius > kMaxShadowRadius) throw ArithmeticOverflow{};
  UINT imageWidth = 0, imageHeight = 0;
  if (width == 0 && GdipGetImageWidth(source, &imageWidth) == Ok) width = static_cast<int32_t>(imageWidth);
  if (height == 0 && GdipGetImageHeight(source, &imageHeight) == Ok) height = static_cast<int32_t>(imageHeight);
  if (width <= 0 || height <= 0) return {};
  const int32_t stride = (CheckedInt{width} + width + width + width).value();
  const int32_t outWidth = ShadowExtent(width, radius), outHeight = ShadowExtent(height, radius);

  // A 32-bit process cannot hold more than this; a larger picture is no shadow rather than a
  // wrapped size.
  const uint64_t bytes = uint64_t(stride) * uint64_t(height);
  if (bytes > 0x40000000u) return {};

  // GDI+ converts whatever the source holds into premultiplied pixels, so the alpha read is its own.
  std::vector<uint8_t> pixels(static_cast<size_t>(bytes));
  BitmapData sourceData{};
  sourceData.Width = static_cast<UINT>(width);
  sourceData.Height = static_cast<UINT>(height);
  sourceData.Stride = stride;
  sourceData.PixelFormat = PixelFormat32bppPARGB;
  sourceData.Scan0 = pixels.data();
  {
    const LockedBits read(source, GpRect(x, y, width, height), ImageLockModeRead | ImageLockModeUserInputBuf,
                          &sourceData);
    if (!read.Locked()) return {};
  }

  gdip::UniqueBitmap result;
  GdipCreateBitmapFromScan0(outWidth, outHeight, 0, PixelFormat32bppPARGB, nullptr, result.put());
  if (!result) return {};
  const LockedBits write(result.get(), GpRect(0, 0, outWidth, outHeight), ImageLockModeWrite, nullptr);
  const BitmapData& target = write.Data();
  if (!write.Locked() || target.Stride <= 0) return {};
  BlurShadowPixels({pixels, width, height, static_cast<size_t>(stride)}, radius, ShadowRgbOf(colour),
                   {{static_cast<uint8_t*>(target.Scan0), static_cast<size_t>(uint64_t(target.Stride) * outHeight)},
                    static_cast<size_t>(target.Stride)});
  return result;
}

}  // namespace cardel
