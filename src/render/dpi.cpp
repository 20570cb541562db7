#include "render/dpi.h"

#include <windows.h>

#include "common/checked_int.h"
#include "common/rounding.h"
#include "common/win_handles.h"

namespace cardel {

std::optional<int32_t> ScaleLength(int32_t length, float dpiScale) {
  return RoundToInt32(static_cast<double>(length) * dpiScale);
}

std::optional<int16_t> ScaleLength16(int32_t length, float dpiScale) {
  return RoundToInt16(static_cast<double>(length) * dpiScale);
}

int16_t Scaled16(int32_t length, float dpiScale) {
  const auto scaled = ScaleLength16(length, dpiScale);
  if (!scaled) throw ArithmeticOverflow{};
  return *scaled;
}

double DpiScaleFromLogPixels(int logPixels) {
  if (logPixels == 0) return 1.0;
  return logPixels / 96.0;
}

double GetWindowsDPI() {
  const WindowDc screen(nullptr);
  return DpiScaleFromLogPixels(GetDeviceCaps(screen.get(), LOGPIXELSX));
}

}  // namespace cardel
