// The library's own operator new, so that a test can make memory run out where it matters: large
// buffers (blur, shadows, picture bytes) are refused on the thread a test named through the control's
// test hooks. Small allocations never look, and large ones load one flag.
#include <cstdlib>
#include <new>

#include "common/allocation_refusal.h"

void* operator new(std::size_t size) {
  if (cardel::RefusesAllocation(size)) throw std::bad_alloc();
  for (;;) {
    if (void* block = std::malloc(size ? size : 1)) return block;
    const std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}
