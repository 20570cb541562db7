#pragma once
// BlurShadow on GDI+ bitmaps: reads the source region's alpha through one lock, blurs it with
// BlurShadowPixels straight into the locked bits of a new, grown bitmap.
#include <windows.h>
#include <olectl.h>

#include <cstdint>

#include "common/gdiplus_handles.h"

namespace cardel {

// A new (width + 2r) x (height + 2r) bitmap in 32-bit premultiplied ARGB holding the blurred shadow
// of the region (x, y, width, height) of source, in colour (an OLE colour; system colours are
// resolved). A width or height of 0 stands for the image's own. Empty when there is no source or
// GDI+ cannot read the region or make the result; source is never changed.
// Throws ArithmeticOverflow when the sizes leave 32 bits or radius > kMaxShadowRadius.
gdip::UniqueBitmap BlurShadow(Gdiplus::GpBitmap* source, OLE_COLOR colour, int16_t radius, int32_t x, int32_t y,
                              int32_t width, int32_t height);

}  // namespace cardel
