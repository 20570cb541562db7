#pragma once
// A GDI+ font collection a host component publishes on purpose to the controls on its thread: the key
// in a thread-local slot below 64 and the collection in the next slot. Other components own such slots
// too and may hold anything there: what is found is only a candidate (see PublishedFontCollection).
#include <windows.h>

#include <cstdint>

namespace cardel {

constexpr uint32_t kFontCollectionKey = 252;

// The value in the slot after the first that holds the key, or 0.
inline uintptr_t FindPublishedFontCollection() noexcept {
  for (DWORD i = 0; i < 64; ++i) {
    if (reinterpret_cast<uintptr_t>(TlsGetValue(i)) == kFontCollectionKey)
      return reinterpret_cast<uintptr_t>(TlsGetValue(i + 1));
  }
  return 0;
}

}  // namespace cardel
