#pragma once
// How far two pictures of the same area are apart: a paint that caches its layers may round a blend
// differently from one that draws them afresh, by one level at most.
#include <cstdint>
#include <vector>

namespace cardel::bench {

// Levels two pictures may differ by in a channel before the difference is a fault.
inline constexpr int kChannelTolerance = 1;

struct PixelDifference {
  int maxChannel = 0;  // the largest difference in any colour channel, 0-255
  double percent = 0;  // of the pixels differing in any colour channel
  bool Acceptable() const { return maxChannel <= kChannelTolerance; }
};

// Pixels as 0x??RRGGBB: the top byte is ignored, as GDI leaves it undefined after most calls.
PixelDifference Compare(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);

}  // namespace cardel::bench
