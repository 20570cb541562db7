#include "picture/png_structure.h"

#include <algorithm>
#include <array>

namespace cardel {
namespace {

constexpr std::array<uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Length and type before the data, the CRC after it.
constexpr uint64_t kChunkFraming = 12;
constexpr uint32_t kLargestChunk = 0x7FFFFFFF;

uint32_t BigEndian32(const uint8_t* p) noexcept {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

bool HasBrokenPngChunks(std::span<const uint8_t> bytes) noexcept {
  if (bytes.size() < kSignature.size() || !std::equal(kSignature.begin(), kSignature.end(), bytes.begin()))
    return false;
  uint64_t at = kSignature.size();
  while (at + kChunkFraming <= bytes.size()) {
    const uint32_t length = BigEndian32(bytes.data() + at);
    if (length > kLargestChunk) return true;
    const uint64_t end = at + kChunkFraming + length;
    if (end > bytes.size()) return true;
    if (std::equal(bytes.begin() + at + 4, bytes.begin() + at + 8, "IEND")) return false;
    at = end;
  }
  return true;
}

}  // namespace cardel
