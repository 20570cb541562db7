#include "ole/paint_surface.h"

#include <algorithm>

#include "common/dib_info.h"
#include "ole/draw_route.h"

namespace ole {

PaintSurface::PaintSurface(SIZE size) noexcept : info_(cardel::TopDown32BitInfo(size.cx, size.cy)), size_(size) {
  dc_.reset(CreateCompatibleDC(nullptr));
  if (!dc_ || size.cx <= 0 || size.cy <= 0) return;
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(dc_.get(), &info_, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || !bits) return;
  selected_.emplace(dc_.get(), bitmap_.get());
  // A fresh section is zero-filled: transparent black, as premultiplied pixels should start.
  bits_ = bits;
}

void PaintSurface::Fill(uint32_t premultipliedArgb) noexcept {
  if (!bits_) return;
  auto* pixels = static_cast<uint32_t*>(bits_);
  std::fill(pixels, pixels + static_cast<size_t>(size_.cx) * size_.cy, premultipliedArgb);
}

bool PaintSurface::BlendOnto(HDC target, const RECT& device) const noexcept {
  if (!bits_) return false;
  GdiFlush();
  const int saved = SaveDC(target);
  if (GetGraphicsMode(target) == GM_ADVANCED) ModifyWorldTransform(target, nullptr, MWT_IDENTITY);
  SetMapMode(target, MM_TEXT);
  SetWindowOrgEx(target, 0, 0, nullptr);
  SetViewportOrgEx(target, 0, 0, nullptr);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const SIZE span = SpanOf(device);
  const BOOL done = AlphaBlend(target, device.left, device.top, span.cx, span.cy, dc_.get(), 0, 0, size_.cx, size_.cy,
                               blend);
  RestoreDC(target, saved);
  return done != FALSE;
}

bool PaintSurface::BlendAt(HDC target, POINT logical) const noexcept {
  if (!bits_) return false;
  GdiFlush();
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return AlphaBlend(target, logical.x, logical.y, size_.cx, size_.cy, dc_.get(), 0, 0, size_.cx, size_.cy, blend) !=
         FALSE;
}

bool PaintSurface::StretchOnto(HDC target, const RECT& logical) const noexcept {
  if (!bits_) return false;
  GdiFlush();
  const int saved = SaveDC(target);
  SetStretchBltMode(target, HALFTONE);
  const SIZE span = SpanOf(logical);
  BITMAPINFO info = info_;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(size_.cx) * static_cast<DWORD>(size_.cy) * 4;
  const int lines = StretchDIBits(target, logical.left, logical.top, span.cx, span.cy, 0, 0, size_.cx, size_.cy,
                                  bits_, &info, DIB_RGB_COLORS, SRCCOPY);
  RestoreDC(target, saved);
  return lines != 0 && lines != static_cast<int>(GDI_ERROR);
}

}  // namespace ole
