#pragma once
// How far two pictures of the same area are apart. A paint that composes its layers into a transparent
// box first rounds once more than one blending each layer onto the background: one level apart, and
// where three translucent layers stack over a translucent fill, two on under one pixel in a hundred.
#include <cstdint>
#include <vector>

namespace cardel::bench {

inline constexpr int kChannelTolerance = 2;
inline constexpr double kPercentOverOneLevel = 1.0;

struct PixelDifference {
  int maxChannel = 0;         // the largest difference in any colour channel, 0-255
  double percent = 0;         // of the pixels differing in any colour channel
  double percentOverOne = 0;  // of the pixels differing by more than one level
  bool Acceptable() const { return maxChannel <= kChannelTolerance && percentOverOne <= kPercentOverOneLevel; }
};

// Pixels as 0x??RRGGBB: the top byte is ignored, as GDI leaves it undefined after most calls.
PixelDifference Compare(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);

}  // namespace cardel::bench
