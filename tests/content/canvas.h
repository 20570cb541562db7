#pragma once
// An off-screen GDI+ surface for drawing the caption directly, its pixels read back, and where
// in an image something was drawn: the bounding box of the pixels a test counts as ink.
#include <climits>
#include <cstdint>
#include <vector>

#include "common/gdiplus_handles.h"

namespace cardel::testing {

struct InkBox {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;  // inclusive
  int count = 0;
  bool Empty() const { return count == 0; }
  int Width() const { return Empty() ? 0 : right - left + 1; }
  int Height() const { return Empty() ? 0 : bottom - top + 1; }
  double CentreX() const { return (left + right + 1) / 2.0; }
  double CentreY() const { return (top + bottom + 1) / 2.0; }
};

// image: anything with width, height and At(x, y); isInk: a test on the pixel value.
template <class Image, class IsInk>
InkBox FindInk(const Image& image, IsInk isInk, int fromX = 0, int fromY = 0, int toX = INT_MAX, int toY = INT_MAX) {
  InkBox box;
  for (int y = fromY; y < image.height && y < toY; ++y) {
    for (int x = fromX; x < image.width && x < toX; ++x) {
      if (!isInk(image.At(x, y))) continue;
      ++box.count;
      if (x < box.left) box.left = x;
      if (x > box.right) box.right = x;
      if (y < box.top) box.top = y;
      if (y > box.bottom) box.bottom = y;
    }
  }
  return box;
}

// Straight (not premultiplied) ARGB pixels, rows from the top.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
  uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

class Canvas {
 public:
  Canvas(int width, int height);
  Gdiplus::GpGraphics* Graphics() const { return graphics_.get(); }
  Pixels Read() const;
  // Everything not fully transparent, or only the pixels of one colour.
  InkBox Ink() const;
  InkBox InkOf(uint32_t argb) const;
  void Clear();

 private:
  int width_, height_;
  gdip::UniqueBitmap bitmap_;
  gdip::UniqueGraphics graphics_;
};

}  // namespace cardel::testing
