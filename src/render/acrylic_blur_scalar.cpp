#include <algorithm>

#include "render/acrylic_blur_kernels.h"

namespace cardel::blur {
namespace {

constexpr int kChannels = 4;

}  // namespace

WindowMean::WindowMean(int window) noexcept : half(static_cast<uint32_t>(window) / 2), multiplier(0), shift(0) {
  // The widest shift whose rounded-up reciprocal still fits 16 bits keeps the error below 1 / window.
  while (((1u << (17 + shift)) + window - 1) / window <= 0xFFFF) ++shift;
  multiplier = ((1u << (16 + shift)) + window - 1) / window;
}

void RowsScalar(const PixelPlane& source, const PixelPlane& target, int r) noexcept {
  const WindowMean mean(2 * r + 1);
  const size_t rowBytes = static_cast<size_t>(source.width) * kChannels;
  const int last = source.width - 1;
  for (int y = 0; y < source.height; ++y) {
    const uint8_t* in = source.bytes.data() + y * rowBytes;
    uint8_t* out = target.bytes.data() + y * rowBytes;
    const auto at = [&](int x) { return in + std::clamp(x, 0, last) * kChannels; };
    uint32_t sum[kChannels] = {};
    for (int x = -r; x <= r; ++x)
      for (int c = 0; c < kChannels; ++c) sum[c] += at(x)[c];
    for (int x = 0; x <= last; ++x) {
      for (int c = 0; c < kChannels; ++c) out[x * kChannels + c] = static_cast<uint8_t>(mean(sum[c]));
      const uint8_t* enter = at(x + r + 1);
      const uint8_t* leave = at(x - r);
      for (int c = 0; c < kChannels; ++c) sum[c] += enter[c] - leave[c];
    }
  }
}

void ColumnsScalar(const PixelPlane& source, const PixelPlane& target, int r, uint32_t* sums) noexcept {
  const WindowMean mean(2 * r + 1);
  const size_t rowBytes = static_cast<size_t>(source.width) * kChannels;
  const int last = source.height - 1;
  const auto row = [&](int y) { return source.bytes.data() + std::clamp(y, 0, last) * rowBytes; };
  std::fill_n(sums, rowBytes, 0u);
  for (int y = -r; y <= r; ++y) {
    const uint8_t* in = row(y);
    for (size_t i = 0; i < rowBytes; ++i) sums[i] += in[i];
  }
  for (int y = 0; y <= last; ++y) {
    uint8_t* out = target.bytes.data() + y * rowBytes;
    for (size_t i = 0; i < rowBytes; ++i) out[i] = static_cast<uint8_t>(mean(sums[i]));
    const uint8_t* enter = row(y + r + 1);
    const uint8_t* leave = row(y - r);
    for (size_t i = 0; i < rowBytes; ++i) sums[i] += enter[i] - leave[i];
  }
}

}  // namespace cardel::blur
