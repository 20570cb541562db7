#include "gdi_objects.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>

namespace cardel::testing {
namespace {

// Wine's shared table: 24-byte entries, the object's type byte at offset 14, 0 for a free entry.
constexpr size_t kTableOffsetInPeb = 0x94;
constexpr size_t kEntrySize = 24;
constexpr size_t kTypeOffset = 14;
constexpr size_t kEntries = 0x10000;

}  // namespace

size_t LiveGdiObjects() {
  if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return counted;
  const auto* peb = reinterpret_cast<const uint8_t*>(NtCurrentTeb()->ProcessEnvironmentBlock);
  const auto* table = *reinterpret_cast<const uint8_t* const*>(peb + kTableOffsetInPeb);
  if (!table) return 0;
  size_t live = 0;
  for (size_t i = 0; i < kEntries; ++i) live += table[i * kEntrySize + kTypeOffset] != 0;
  return live;
}

}  // namespace cardel::testing
