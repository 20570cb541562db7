#include "floors.h"

#include <algorithm>
#include <cstdlib>

#include "box_blur.h"
#include "render/acrylic_blur.h"

namespace cardel::bench {
namespace {

// Half-transparent grey, premultiplied: a blend that has to mix every pixel.
constexpr uint32_t kHalfGrey = 0x80404040;

std::vector<uint8_t> Bytes(const host::DibSurface& surface) {
  const std::vector<uint32_t> pixels = surface.All();
  std::vector<uint8_t> bytes(pixels.size() * 4);
  for (size_t i = 0; i < pixels.size(); ++i)
    for (int c = 0; c < 4; ++c) bytes[i * 4 + c] = static_cast<uint8_t>(pixels[i] >> (8 * c));
  return bytes;
}

}  // namespace

Floors::Floors(const Backdrop& backdrop)
    : backdrop_(backdrop),
      target_(backdrop.Surface().Width(), backdrop.Surface().Height()),
      premultiplied_(backdrop.Surface().Width(), backdrop.Surface().Height(), kHalfGrey),
      pixels_(Bytes(backdrop.Surface())),
      scratch_(pixels_.size()) {}

void Floors::Blit() const {
  const host::DibSurface& from = backdrop_.Surface();
  BitBlt(target_.Dc(), 0, 0, from.Width(), from.Height(), from.Dc(), 0, 0, SRCCOPY);
  GdiFlush();
}

void Floors::Blend() const {
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(target_.Dc(), 0, 0, target_.Width(), target_.Height(), premultiplied_.Dc(), 0, 0, target_.Width(),
             target_.Height(), blend);
  GdiFlush();
}

int Floors::BlurError() const {
  std::vector<uint8_t> fast = Bytes(backdrop_.Surface()), straight = fast, scratch;
  BoxBlur3(fast, scratch, target_.Width(), target_.Height(), kAcrylicBlurRadius);
  BoxBlur3Straight(straight, target_.Width(), target_.Height(), kAcrylicBlurRadius);
  int worst = 0;
  for (size_t i = 0; i < fast.size(); ++i) worst = std::max(worst, std::abs(int(fast[i]) - int(straight[i])));
  return worst;
}

void Floors::Blur() { BoxBlur3(pixels_, scratch_, target_.Width(), target_.Height(), kAcrylicBlurRadius); }

}  // namespace cardel::bench
