// The library's own operator new, so that a test host can make memory run out where it matters: large
// buffers (blur, shadows, picture bytes) are refused while the host publishes kRefuseLargeAllocationsKey.
// Small allocations never look, so the everyday cost is one comparison.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "common/shared_slots.h"

namespace {

constexpr std::size_t kLargeAllocation = 64 * 1024;

bool Refused(std::size_t size) noexcept {
  if (size < kLargeAllocation) return false;
  // The slots are read with TlsGetValue, which resets the thread's last error its callers may still want.
  const DWORD lastError = GetLastError();
  const bool refused = cardel::LookupSharedSlot(cardel::kRefuseLargeAllocationsKey, 0) != 0;
  SetLastError(lastError);
  return refused;
}

}  // namespace

void* operator new(std::size_t size) {
  if (Refused(size)) throw std::bad_alloc();
  for (;;) {
    if (void* block = std::malloc(size ? size : 1)) return block;
    const std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}
