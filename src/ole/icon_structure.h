#pragma once
// The system's icon and cursor loaders trust the bytes they are given: a bitmap height of 0 divides by
// zero in user32, and a size field of 0xFFFFFFFF ends the process inside the loader. So icon and cursor
// bytes are checked here, directory and every image header, before anything of the system sees them.
#include <cstdint>
#include <span>

namespace ole {

// True for bytes laid out as an icon or cursor file whose directory or image headers do not fit the
// bytes or describe no drawable image. Bytes of any other format are left to their own decoders.
bool HasBrokenIconStructure(std::span<const uint8_t> bytes) noexcept;

// The same for a picture object's saved form (a four-byte tag and length before the file's bytes).
bool HasBrokenSavedIcon(std::span<const uint8_t> saved) noexcept;

}  // namespace ole
