#pragma once
// A premultiplied 32-bit surface a retained layer is drawn into once and drawn from many times: by
// GDI's blend onto a device context, or by GDI+ onto another layer.
#include <windows.h>

#include <memory>

#include "common/gdiplus_handles.h"
#include "ole/paint_surface.h"

namespace cardel {

class LayerSurface {
 public:
  // Transparent; null when the system has no room for it.
  static std::unique_ptr<LayerSurface> Make(SIZE size) noexcept;
  // The old surface cleared when it has the size, which costs less than making one; else a new one.
  static std::unique_ptr<LayerSurface> Recycle(std::unique_ptr<LayerSurface> old, SIZE size) noexcept;

  SIZE Size() const noexcept { return pixels_.Size(); }
  bool HasSize(SIZE size) const noexcept { return Size().cx == size.cx && Size().cy == size.cy; }
  void* Bits() const noexcept { return pixels_.Bits(); }
  size_t PixelCount() const noexcept { return static_cast<size_t>(Size().cx) * static_cast<size_t>(Size().cy); }
  // The surface as a GDI+ image, to draw it 1:1 onto another.
  Gdiplus::GpBitmap* Image() const noexcept { return image_.get(); }
  // A smoothing Graphics over the surface. Where GDI+ keeps the alpha it blends onto a 32-bit device
  // context (Wine), it draws through the surface's context, with the very code a direct paint on a
  // host's 32-bit context runs; elsewhere through the bitmap over the pixels, which keeps alpha everywhere.
  gdip::UniqueGraphics Graphics() const noexcept;
  bool BlendAt(HDC target, POINT logical) const noexcept { return pixels_.BlendAt(target, logical); }
  // Transparent again, for a layer redrawn at the same size.
  void Clear() noexcept { pixels_.Fill(0); }

 private:
  explicit LayerSurface(SIZE size) noexcept : pixels_(size) {}

  ole::PaintSurface pixels_;
  gdip::UniqueBitmap image_;
};

}  // namespace cardel
