#include "common/rounding.h"

#include <cmath>

namespace cardel {
namespace {

// nearbyint follows the current rounding mode, which nothing in the control changes from the
// default of nearest-even. NaN fails both comparisons and so counts as not fitting.
std::optional<double> RoundWithin(double value, double low, double high) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= low && rounded <= high)) return std::nullopt;
  return rounded;
}

}  // namespace

std::optional<int32_t> RoundToInt32(double value) {
  const auto rounded = RoundWithin(value, INT32_MIN, INT32_MAX);
  if (!rounded) return std::nullopt;
  return static_cast<int32_t>(*rounded);
}

std::optional<int16_t> RoundToInt16(double value) {
  const auto rounded = RoundWithin(value, INT16_MIN, INT16_MAX);
  if (!rounded) return std::nullopt;
  return static_cast<int16_t>(*rounded);
}

}  // namespace cardel
