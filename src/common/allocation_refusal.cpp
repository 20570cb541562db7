#include "common/allocation_refusal.h"

namespace cardel {

std::atomic<DWORD> allocationsRefusedOn{0};

bool RefuseLargeAllocationsOnThisThread(bool refuse) noexcept {
  const DWORD self = GetCurrentThreadId();
  DWORD expected = refuse ? 0 : self;
  return allocationsRefusedOn.compare_exchange_strong(expected, refuse ? self : 0) || expected == (refuse ? self : 0);
}

}  // namespace cardel
