// The acrylic surface's life: made at the client size when the feature is switched on, after loading
// and on every resize while it is on; freed when it is switched off and when the control ends.
#include "control/uc_cardel.h"
#include "render/acrylic.h"

namespace cardel {

void UcCardel::PrepareAcrylicSurface() noexcept {
  ReleaseAcrylicSurface();
  AcrylicDC.reset(CreateCompatibleDC(nullptr));
  AcrylicBitmap = CreateAcrylicBitmap(ClientSize());
  if (AcrylicDC && AcrylicBitmap) AcrylicOldBitmap.emplace(AcrylicDC.get(), AcrylicBitmap.get());
}

void UcCardel::ReleaseAcrylicSurface() noexcept {
  AcrylicOldBitmap.reset();
  AcrylicBitmap.reset();
  AcrylicDC.reset();
}

}  // namespace cardel
