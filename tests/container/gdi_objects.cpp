#include "gdi_objects.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>

namespace cardel::host {

// Windows answers GetGuiResources; Wine answers 0, so its shared handle table is counted instead: pointed to
// from the process environment block (at 0x94 in a 32-bit one, 0xF8 in a 64-bit one), 24-byte entries on
// both, type byte at 14, 0 when free.
size_t LiveGdiObjects() {
  if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return counted;
  constexpr size_t kTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
  PROCESS_BASIC_INFORMATION process{};
  NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof process, nullptr);
  const auto* peb = reinterpret_cast<const uint8_t*>(process.PebBaseAddress);
  const auto* table = *reinterpret_cast<const uint8_t* const*>(peb + kTableOffset);
  size_t live = 0;
  for (size_t i = 0; table && i < 0x10000; ++i) live += table[i * 24 + 14] != 0;
  return live;
}

}  // namespace cardel::host
