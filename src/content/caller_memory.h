#pragma once
// Reading memory a caller names by its address: only after the system confirms that every byte
// of the range is committed and readable in this process, so a wrong address is an error and
// not a fault in the host.
#include <cstddef>

namespace cardel {

bool IsReadableRange(const void* address, size_t bytes) noexcept;

// Copies a caller's range into `into`: false, never a fault, when any byte of it cannot be read, even when
// another thread decommits or protects the range between the check and the copy.
bool ReadCallerMemory(const void* address, void* into, size_t bytes) noexcept;

}  // namespace cardel
