#pragma once
// The fixed units OLE measures in, against a device's pixels per inch: HIMETRIC (0.01 mm) for extents,
// twips (1/1440 inch) for forms and dialog layouts.
#include <windows.h>

#include "common/win_handles.h"

namespace cardel {

constexpr int kHimetricPerInch = 2540;
constexpr int kTwipsPerInch = 1440;

inline int HimetricToPixels(int himetric, int dpi) noexcept { return MulDiv(himetric, dpi, kHimetricPerInch); }
inline int PixelsToHimetric(int pixels, int dpi) noexcept { return MulDiv(pixels, kHimetricPerInch, dpi); }
inline int TwipsToPixels(int twips, int dpi) noexcept { return MulDiv(twips, dpi, kTwipsPerInch); }
inline int PixelsToTwips(int pixels, int dpi) noexcept { return MulDiv(pixels, kTwipsPerInch, dpi); }

// The screen's pixels per inch, across and down.
inline SIZE ScreenPixelsPerInch() noexcept {
  const WindowDc screen(nullptr);
  return {GetDeviceCaps(screen.get(), LOGPIXELSX), GetDeviceCaps(screen.get(), LOGPIXELSY)};
}

inline SIZEL ScreenPixelsToHimetric(SIZE pixels) noexcept {
  const SIZE dpi = ScreenPixelsPerInch();
  return {PixelsToHimetric(pixels.cx, dpi.cx), PixelsToHimetric(pixels.cy, dpi.cy)};
}

inline SIZE HimetricToScreenPixels(SIZEL himetric) noexcept {
  const SIZE dpi = ScreenPixelsPerInch();
  return {HimetricToPixels(himetric.cx, dpi.cx), HimetricToPixels(himetric.cy, dpi.cy)};
}

}  // namespace cardel
