#include "pixel_compare.h"

#include <algorithm>
#include <cstdlib>

namespace cardel::bench {

PixelDifference Compare(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  // Pictures of different sizes cannot be of the same paint: the worst difference, everywhere.
  if (a.size() != b.size()) return {255, 100, 100};
  if (a.empty()) return {};
  PixelDifference result;
  size_t differing = 0, overOne = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    int worst = 0;
    for (int shift = 0; shift < 24; shift += 8)
      worst = std::max(worst, std::abs(int(a[i] >> shift & 255) - int(b[i] >> shift & 255)));
    result.maxChannel = std::max(result.maxChannel, worst);
    differing += worst != 0;
    overOne += worst > 1;
  }
  result.percent = 100.0 * differing / a.size();
  result.percentOverOne = 100.0 * overOne / a.size();
  return result;
}

}  // namespace cardel::bench
