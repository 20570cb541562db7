#pragma once
// Values a host component publishes to the controls on its thread: pairs of consecutive
// thread-local slots, the key in slot i and the value in slot i + 1, for i from 0 to 63.
#include <windows.h>

#include <cstdint>

namespace cardel {

constexpr uint32_t kFontCollectionKey = 252;
// Non-zero: every large allocation of the library fails, as when memory runs out (a test host's seam).
constexpr uint32_t kRefuseLargeAllocationsKey = 251;
// The address of a LONG that counts every decode of a picture's bytes (a test host's seam).
constexpr uint32_t kPictureDecodesKey = 250;
// Replaces the pixel budget of each control's retained layers (a test host's seam; 0 keeps none).
constexpr uint32_t kRetainedBudgetKey = 249;
// The address of a LONG array counting builds of each retained layer, indexed by RetainedLayer
// (a test host's seam).
constexpr uint32_t kLayerBuildsKey = 248;

inline uintptr_t LookupSharedSlot(uint32_t key, uintptr_t fallback) noexcept {
  for (DWORD i = 0; i < 64; ++i) {
    if (reinterpret_cast<uintptr_t>(TlsGetValue(i)) == key) return reinterpret_cast<uintptr_t>(TlsGetValue(i + 1));
  }
  return fallback;
}

}  // namespace cardel
