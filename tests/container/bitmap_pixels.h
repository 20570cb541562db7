#pragma once
// The premultiplied BGRA pixels of a GDI+ bitmap, or of a region of it, read back for comparison.
#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <vector>

namespace cardel::host {

struct BitmapPixels {
  UINT width = 0, height = 0;
  std::vector<uint8_t> bgra;
  const uint8_t* At(UINT x, UINT y) const { return &bgra[(static_cast<size_t>(y) * width + x) * 4]; }
  uint8_t Alpha(UINT x, UINT y) const { return At(x, y)[3]; }
  int Covered() const {
    int count = 0;
    for (size_t i = 3; i < bgra.size(); i += 4) count += bgra[i] != 0;
    return count;
  }
};

// width 0: the whole bitmap.
inline BitmapPixels ReadBitmap(Gdiplus::GpBitmap* bitmap, INT x = 0, INT y = 0, UINT width = 0, UINT height = 0) {
  using namespace Gdiplus;
  BitmapPixels p{width, height, {}};
  if (!width) {
    DllExports::GdipGetImageWidth(bitmap, &p.width);
    DllExports::GdipGetImageHeight(bitmap, &p.height);
  }
  p.bgra.resize(static_cast<size_t>(p.width) * p.height * 4);
  BitmapData data{p.width, p.height, static_cast<INT>(p.width * 4), PixelFormat32bppPARGB, p.bgra.data()};
  const GpRect area(x, y, static_cast<INT>(p.width), static_cast<INT>(p.height));
  if (DllExports::GdipBitmapLockBits(bitmap, &area, ImageLockModeRead | ImageLockModeUserInputBuf,
                                     PixelFormat32bppPARGB, &data) == Ok)
    DllExports::GdipBitmapUnlockBits(bitmap, &data);
  return p;
}

}  // namespace cardel::host
