#pragma once
// Every floating value the control stores in an integer goes through here: nearest whole number,
// halves to the even neighbour, and no result at all when it does not fit, so that the caller
// can raise Overflow instead of drawing with a wrapped value.
#include <cstdint>
#include <optional>

namespace cardel {

std::optional<int32_t> RoundToInt32(double value);
std::optional<int16_t> RoundToInt16(double value);

}  // namespace cardel
