#pragma once
// A white 32-bit memory device context whose pixels (0x00RRGGBB) a test reads directly.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "common/win_handles.h"

namespace cardel::testing {

class DibSurface {
 public:
  DibSurface(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<const uint32_t*>(bits);
    selected_.emplace(dc_.get(), bitmap_.get());
    PatBlt(dc_.get(), 0, 0, width, height, WHITENESS);
  }
  HDC Dc() const { return dc_.get(); }
  uint32_t At(int x, int y) const { return (GdiFlush(), bits_[y * width_ + x] & 0xFFFFFF); }
  std::vector<uint32_t> All() const { return (GdiFlush(), std::vector<uint32_t>(bits_, bits_ + width_ * height_)); }
  // How many black pixels the grey of a column adds up to: an anti-aliased stroke's width.
  double Darkness(int x, int fromY, int toY) const {
    double sum = 0;
    for (int y = fromY; y < toY; ++y) sum += (255 - (At(x, y) & 0xFF)) / 255.0;
    return sum;
  }

 private:
  int width_, height_;
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  const uint32_t* bits_ = nullptr;
  std::optional<SelectedObject> selected_;
};

}  // namespace cardel::testing
