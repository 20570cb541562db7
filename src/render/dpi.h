#pragma once
// Lengths are kept in pixels at 96 DPI and grown by the screen's DPI only when drawn.
#include <cstdint>
#include <optional>

namespace cardel {

// round(length × dpiScale), halves to even; nothing when the result leaves 32 (or 16) bits, in
// which case the caller raises Overflow.
std::optional<int32_t> ScaleLength(int32_t length, float dpiScale);
std::optional<int16_t> ScaleLength16(int32_t length, float dpiScale);
// As ScaleLength16 for a paint, which raises the overflow as ArithmeticOverflow.
int16_t Scaled16(int32_t length, float dpiScale);

// A device that reports no DPI at all is taken as the 96-DPI reference.
double DpiScaleFromLogPixels(int logPixels);

// The horizontal DPI of the screen over 96.
double GetWindowsDPI();

}  // namespace cardel
