// The acrylic surface's life: made at the client size when the feature is switched on, after loading
// and on every resize while it is on; freed when it is switched off and when the control ends.
#include "control/uc_cardel.h"
#include "render/acrylic.h"

namespace cardel {

void UcCardel::PrepareAcrylicSurface() noexcept {
  ReleaseAcrylicSurface();
  acrylicDc_.reset(CreateCompatibleDC(nullptr));
  acrylicBitmap_ = CreateAcrylicBitmap(ClientSize());
  if (acrylicDc_ && acrylicBitmap_) acrylicOldBitmap_.emplace(acrylicDc_.get(), acrylicBitmap_.get());
}

void UcCardel::ReleaseAcrylicSurface() noexcept {
  acrylicOldBitmap_.reset();
  acrylicBitmap_.reset();
  acrylicDc_.reset();
}

}  // namespace cardel
