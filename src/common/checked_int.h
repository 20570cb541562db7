#pragma once
// A 32-bit whole number whose sums and differences fail the way the control's integers do: a
// result out of range is Overflow, never a wrapped value. It throws so that long geometry
// formulas read as they are written; the routine using it catches and reports the error.
#include <cstdint>
#include <compare>
#include <stdexcept>

#include "common/rounding.h"

namespace cardel {

// An overflow_error, so that the boundary of every entry point reports it as run-time error 6.
struct ArithmeticOverflow : std::overflow_error {
  ArithmeticOverflow() : std::overflow_error("arithmetic overflow") {}
};

class CheckedInt {
 public:
  constexpr CheckedInt(int32_t value = 0) noexcept : value_(value) {}

  static CheckedInt Round(double value) {
    const auto rounded = RoundToInt32(value);
    if (!rounded) throw ArithmeticOverflow{};
    return *rounded;
  }

  constexpr int32_t value() const noexcept { return value_; }

  // Integer halving truncates toward zero, so odd negative lengths lose their half upwards.
  constexpr CheckedInt Half() const noexcept { return value_ / 2; }

  friend CheckedInt operator+(CheckedInt a, CheckedInt b) { return Fit(int64_t{a.value_} + b.value_); }
  friend CheckedInt operator-(CheckedInt a, CheckedInt b) { return Fit(int64_t{a.value_} - b.value_); }
  friend constexpr bool operator==(const CheckedInt&, const CheckedInt&) = default;
  friend constexpr auto operator<=>(const CheckedInt&, const CheckedInt&) = default;

 private:
  static CheckedInt Fit(int64_t wide) {
    if (wide < INT32_MIN || wide > INT32_MAX) throw ArithmeticOverflow{};
    return static_cast<int32_t>(wide);
  }

  int32_t value_;
};

// The value as a 16-bit property holds it; beyond 16 bits is Overflow.
inline int16_t Narrow16(int64_t value) {
  if (value < INT16_MIN || value > INT16_MAX) throw ArithmeticOverflow{};
  return static_cast<int16_t>(value);
}

}  // namespace cardel
