#include "render/acrylic.h"

#include <cstring>
#include <new>
#include <vector>

#include "common/dib_info.h"
#include "render/acrylic_blur.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {

UniqueBitmap CreateAcrylicBitmap(SIZE size) noexcept {
  if (size.cx <= 0 || size.cy <= 0) return {};
  const BITMAPINFO info = TopDown32BitInfo(size.cx, size.cy);
  void* bits = nullptr;
  return UniqueBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

void CaptureAcrylic(HDC surface, HDC from, SIZE size) noexcept {
  BitBlt(surface, 0, 0, size.cx, size.cy, from, 0, 0, SRCCOPY);
}

void FillAcrylic(GpGraphics* graphics, GpPath* path, HBITMAP surface) {
  DIBSECTION dib{};
  if (!surface || GetObjectW(surface, sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits ||
      dib.dsBm.bmBitsPixel != 32)
    return;
  const int width = dib.dsBm.bmWidth, height = dib.dsBm.bmHeight;
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  // The capture may still sit in GDI's batch; the pixels must be there before they are read.
  GdiFlush();
  // The captured copy stays as it is, so a Draw without a fresh capture blurs the background once.
  std::vector<uint8_t> pixels(bytes), scratch(bytes);
  std::memcpy(pixels.data(), dib.dsBm.bmBits, bytes);
  GaussianBlur({pixels, width, height}, scratch, kAcrylicBlurRadius);
  // 32bppRGB ignores the fourth byte, which a plain GDI copy leaves undefined.
  gdip::UniqueBitmap blurred;
  if (GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB, pixels.data(), blurred.put()) != Ok)
    return;
  GpTexture* texture = nullptr;
  if (GdipCreateTexture(blurred.get(), WrapModeTile, &texture) != Ok) return;
  const gdip::UniqueBrush brush(texture);
  GdipFillPath(graphics, brush.get(), path);
}

}  // namespace cardel
