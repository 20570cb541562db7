#pragma once
// A 32-bit top-down DIB selected into a memory DC, filled with one colour, whose pixels a test reads
// directly: the target of Draw calls, paint hooks and drawing methods aimed away from the container.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/win_handles.h"
#include "host_error.h"

namespace cardel::host {

class DibSurface {
 public:
  DibSurface(int width, int height, uint32_t fill = 0xFFFFFF)
      : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_) throw HostError("creating a DIB surface", E_OUTOFMEMORY);
    bits_ = static_cast<uint32_t*>(bits);
    selected_.emplace(dc_.get(), bitmap_.get());
    std::fill_n(bits_, static_cast<size_t>(width) * height, fill);
  }
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  HDC Dc() const { return dc_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The pixel as 0x00RRGGBB; Raw keeps the top byte, which GDI leaves undefined after most calls.
  uint32_t At(int x, int y) const { return Raw(x, y) & 0xFFFFFF; }
  uint32_t Raw(int x, int y) const { return (GdiFlush(), bits_[static_cast<size_t>(y) * width_ + x]); }
  std::vector<uint32_t> All() const {
    return (GdiFlush(), std::vector<uint32_t>(bits_, bits_ + static_cast<size_t>(width_) * height_));
  }
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
  uint32_t* bits_ = nullptr;
  std::optional<SelectedObject> selected_;
};

}  // namespace cardel::host
