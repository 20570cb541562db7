#pragma once
// How IViewObject::Draw reaches a device context. The ordinary screen paint draws straight on it;
// every other target gets the box rendered into a bitmap at the target's resolution, which GDI
// then places, so every mapping mode and world transform is honoured and metafiles record it.
#include <windows.h>

namespace ole {

// What Draw needs to know of a device context.
struct DcTraits {
  DWORD objectType = OBJ_DC;  // GetObjectType
  int technology = DT_RASDISPLAY;
  int mapMode = MM_TEXT;
  bool identityTransform = true;  // no world transform in effect
  bool pixelAlpha = true;         // the device says it blends with per-pixel alpha
};

enum class DrawRoute {
  Direct,        // one logical unit is one pixel and the bounds are the control's own size
  BlendBitmap,   // a transparent bitmap blended in device pixels
  OpaqueBitmap,  // a bitmap over white, stretched in logical units: metafiles, printers that cannot blend
};

DcTraits ReadDcTraits(HDC dc) noexcept;

DrawRoute ChooseDrawRoute(const DcTraits& dc, SIZE bounds, SIZE own) noexcept;

// The largest bitmap a Draw renders into; a larger target gets a smaller bitmap, stretched.
inline constexpr LONG kMaxSurfaceSide = 8192;
inline constexpr long long kMaxSurfacePixels = 2048LL * 2048;

// The bitmap's size for a target of device pixels: the target's own, each side limited to
// kMaxSurfaceSide, then reduced in proportion past kMaxSurfacePixels; never below one pixel a side.
SIZE SurfaceSize(SIZE device) noexcept;

// The rectangle two mapped corners span, whichever way the axes of the mapping point.
RECT SpannedRect(POINT a, POINT b) noexcept;

// Width and height, negative where the rectangle runs backwards, held to what a LONG can take:
// a host's absurd bounds must not overflow.
SIZE SpanOf(const RECT& rect) noexcept;

}  // namespace ole
