#pragma once
// Handles carried in an automation Long. Only their low 32 bits are significant, and a Long keeps
// exactly those; turned back into a handle it is sign-extended, while a 64-bit system may have handed
// the handle out zero-extended (64-bit Wine does so for about four in ten device contexts). Two
// handles are therefore the same when their low 32 bits are.
#include <windows.h>

#include <cstdint>

namespace cardel {

inline LONG LongFromHandle(const void* handle) noexcept {
  return static_cast<LONG>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)));
}

inline bool SameHandle(const void* a, const void* b) noexcept {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(a)) == static_cast<uint32_t>(reinterpret_cast<uintptr_t>(b));
}

// The handle a Long carries: known itself when the Long names it, so a value handed back unchanged is
// exactly the handle handed out; any other value sign-extended, as the system widens handles.
template <class Handle>
Handle HandleFromLong(LONG value, Handle known = nullptr) noexcept {
  if (known && SameHandle(known, reinterpret_cast<const void*>(static_cast<intptr_t>(value)))) return known;
  return reinterpret_cast<Handle>(static_cast<intptr_t>(value));
}

}  // namespace cardel
