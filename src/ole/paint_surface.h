#pragma once
// A bitmap Draw renders the control into before GDI places it on the container's target: 32 bits a
// pixel, premultiplied alpha, rows from the top, selected into a memory DC of its own.
#include <windows.h>

#include <cstdint>
#include <optional>

#include "common/win_handles.h"

namespace ole {

class PaintSurface {
 public:
  // Fully transparent; empty (false) when the bitmap cannot be made.
  explicit PaintSurface(SIZE size) noexcept;
  PaintSurface(const PaintSurface&) = delete;
  PaintSurface& operator=(const PaintSurface&) = delete;

  explicit operator bool() const noexcept { return bits_ != nullptr; }
  HDC Dc() const noexcept { return dc_.get(); }
  void* Bits() const noexcept { return bits_; }
  SIZE Size() const noexcept { return size_; }
  void Fill(uint32_t premultipliedArgb) noexcept;

  // Blends the whole bitmap onto device pixels of target, whatever its mapping mode.
  bool BlendOnto(HDC target, const RECT& device) const noexcept;
  // Blends the whole bitmap 1:1 with its top-left corner at a logical point of a DC whose logical
  // units are its pixels.
  bool BlendAt(HDC target, POINT logical) const noexcept;
  // Stretches the bitmap, its alpha ignored, onto logical units of target; metafiles record it.
  bool StretchOnto(HDC target, const RECT& logical) const noexcept;

 private:
  BITMAPINFO info_{};
  SIZE size_{};
  void* bits_ = nullptr;
  // In this order, so the bitmap leaves the DC before either is deleted.
  cardel::UniqueMemoryDc dc_;
  cardel::UniqueBitmap bitmap_;
  std::optional<cardel::SelectedObject> selected_;
};

}  // namespace ole
