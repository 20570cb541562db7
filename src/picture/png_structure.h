#pragma once
// Wine's PNG decoder crashes the process on a file cut off inside a chunk, so PNG bytes are walked
// chunk by chunk before any decoder sees them. Bytes that fail the walk are no picture anywhere,
// which keeps the result the same on Windows and under Wine.
#include <cstdint>
#include <span>

namespace cardel {

// True for bytes with the PNG signature whose chunks overrun the bytes or never reach IEND.
// Bytes without the signature are some other format and are left to the decoder.
bool HasBrokenPngChunks(std::span<const uint8_t> bytes) noexcept;

}  // namespace cardel
