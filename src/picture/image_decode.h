#pragma once
// Decoding the picture's file bytes with GDI+. The image reads from the caller's bytes through a
// stream that does not own them, so the bytes must stay untouched until the image is disposed.
#include <cstdint>
#include <span>

#include "common/gdiplus_handles.h"

namespace cardel {

// Empty when the bytes are not a picture GDI+ decodes, including PNG bytes cut off inside a chunk and
// icons or cursors whose headers do not fit their bytes.
gdip::UniqueImage LoadImageFromBytes(std::span<const uint8_t> bytes) noexcept;

// How many times the process has decoded a picture's bytes, for the control's test hooks.
long PictureDecodes() noexcept;

}  // namespace cardel
