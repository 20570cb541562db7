#include "content/caller_memory.h"

#include <windows.h>

#include <cstdint>

namespace cardel {
namespace {

// A guard page faults on the first touch even where its protection would allow reading.
bool ReadableProtection(DWORD protect) noexcept {
  if (protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
  return (protect & (PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                     PAGE_EXECUTE_WRITECOPY)) != 0;
}

}  // namespace

bool IsReadableRange(const void* address, size_t bytes) noexcept {
  uintptr_t at = reinterpret_cast<uintptr_t>(address);
  const uintptr_t end = at + bytes;
  if (end < at) return false;
  // A range may span regions with different protections: each must pass.
  while (at < end) {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) != sizeof region) return false;
    if (region.State != MEM_COMMIT || !ReadableProtection(region.Protect)) return false;
    const uintptr_t next = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    if (next <= at) return false;
    at = next;
  }
  return true;
}

bool ReadCallerMemory(const void* address, void* into, size_t bytes) noexcept {
  if (bytes == 0) return true;
  // The check refuses what this process may not read; the system's copy fails cleanly where a plain copy
  // would fault on a page taken away after the check.
  if (!IsReadableRange(address, bytes)) return false;
  SIZE_T read = 0;
  return ReadProcessMemory(GetCurrentProcess(), address, into, bytes, &read) && read == bytes;
}

}  // namespace cardel
