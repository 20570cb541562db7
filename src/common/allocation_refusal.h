#pragma once
// Memory running out where it matters, on demand: while one thread is named here, every large
// allocation the library makes on that thread fails. Nothing else reads it; off, the check the
// library's operator new makes is one relaxed load.
#include <windows.h>

#include <atomic>
#include <cstddef>

namespace cardel {

inline constexpr std::size_t kLargeAllocation = 64 * 1024;

// The thread whose large allocations fail, or 0.
extern std::atomic<DWORD> allocationsRefusedOn;

inline bool RefusesAllocation(std::size_t size) noexcept {
  if (size < kLargeAllocation) return false;
  const DWORD thread = allocationsRefusedOn.load(std::memory_order_relaxed);
  return thread != 0 && thread == GetCurrentThreadId();
}

// Starts or ends refusing the calling thread's large allocations; false while another thread is refused.
bool RefuseLargeAllocationsOnThisThread(bool refuse) noexcept;

}  // namespace cardel
