#pragma once
// An off-screen GDI+ surface for drawing the caption directly, and its pixels read back.
#include <cstdint>
#include <vector>

#include "ink.h"
#include "render/gdiplus_handles.h"

namespace cardel::testing {

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
