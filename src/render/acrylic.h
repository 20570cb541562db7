#pragma once
// The acrylic background: a copy of what the host painted beneath the control, kept in a memory
// bitmap whose pixels the control reads directly, and the box filled with that copy blurred.
#include <windows.h>

#include "common/gdiplus_handles.h"
#include "common/win_handles.h"

namespace cardel {

// A 32-bit top-down DIB section of size, selectable into any memory DC; empty for an empty size or
// when the system has no room for it.
UniqueBitmap CreateAcrylicBitmap(SIZE size) noexcept;

// Copies (0, 0, size) of from into surface at (0, 0).
void CaptureAcrylic(HDC surface, HDC from, SIZE size) noexcept;

// Fills path on graphics with the surface's pixels blurred by kAcrylicBlurRadius, the texture's
// origin at the Graphics' origin, so each blurred pixel lies over the pixel it came from. Draws
// nothing when surface is no 32-bit DIB section; throws std::bad_alloc when memory for the blur runs out.
void FillAcrylic(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* path, HBITMAP surface);

}  // namespace cardel
