#include "control/retained_layers.h"

namespace cardel {
namespace {

template <class T>
void FreeVector(std::vector<T>& v) noexcept {
  std::vector<T>().swap(v);
}

}  // namespace

int64_t RetainedPixels(SIZE client, bool acrylic) noexcept {
  if (client.cx <= 0 || client.cy <= 0) return 0;
  const int64_t area = int64_t{client.cx} * client.cy;
  // Surfaces of four bytes a pixel: three, or with acrylic seven and the one-byte coverage.
  return acrylic ? area * 7 + area / 4 : area * 3;
}

int64_t ClaimedBytes(SIZE client, bool acrylic, int shadowImages) noexcept {
  const int64_t area = client.cx > 0 && client.cy > 0 ? int64_t{client.cx} * client.cy : 0;
  return (RetainedPixels(client, acrylic) + area * shadowImages) * 4;
}

bool MayRetainLayers(SIZE client, bool acrylic) noexcept {
  const int64_t pixels = RetainedPixels(client, acrylic);
  return pixels > 0 && pixels <= kRetainedPixelBudget;
}

void RetainedLayers::DropBox() noexcept {
  if (box) spareBox = std::move(box);
  under.reset();
  FreeVector(coverage);
}

void RetainedLayers::Release() noexcept {
  DropBox();
  spareBox.reset();
  shadow.reset();
  shadowAt = {};
  picture.reset();
  caption = {};
  blend.reset();
  FreeVector(blurred);
  FreeVector(scratch);
}

}  // namespace cardel
