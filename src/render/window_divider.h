#pragma once
// Floor division of a blur window's sum by the window's area. The blur divides once per output
// pixel, and a hardware division would cost more than everything else it does for that pixel, so
// the quotient comes from one 32 x 32 -> 64-bit multiply and a short shift instead.
#include <bit>
#include <cstdint>

namespace cardel {

class WindowDivider {
 public:
  // With k = 31 + ceil(log2 area) and multiplier = ceil(2^k / area), the product's error stays
  // below one quotient step for every sum up to 255 x area as long as 255 x (area - 1) < 2^31;
  // the largest odd square meeting that is 2901^2, the window of radius 1450.
  static constexpr uint32_t kMaxArea = 2901u * 2901u;

  // area must lie in 1 ... kMaxArea.
  constexpr explicit WindowDivider(uint32_t area) noexcept
      : extraShift_(static_cast<uint32_t>(std::bit_width(area - 1))),
        multiplier_(static_cast<uint32_t>(((uint64_t{1} << (31 + extraShift_)) + area - 1) / area)) {}

  // Exact for sum in 0 ... 255 x area. The sum is doubled (it stays below 2^31) so that the high
  // word of the product already carries a shift of 32, which 32-bit code gets for free.
  constexpr uint32_t operator()(uint32_t sum) const noexcept {
    return static_cast<uint32_t>((uint64_t{sum * 2} * multiplier_) >> 32) >> extraShift_;
  }

 private:
  uint32_t extraShift_;
  uint32_t multiplier_;
};

}  // namespace cardel
