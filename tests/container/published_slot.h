#pragma once
// A value a host publishes to the controls on its thread, as the control looks for it: the key in a
// thread-local slot below 64 and the value in the next slot. Withdrawn at the end of the object.
#include <windows.h>

#include <cstdint>

namespace cardel::host {

class PublishedSlot {
 public:
  PublishedSlot(uint32_t key, uintptr_t value);
  PublishedSlot(const PublishedSlot&) = delete;
  PublishedSlot& operator=(const PublishedSlot&) = delete;
  ~PublishedSlot();
  bool Published() const noexcept { return slot_ != TLS_OUT_OF_INDEXES; }

 private:
  DWORD slot_ = TLS_OUT_OF_INDEXES;
};

}  // namespace cardel::host
