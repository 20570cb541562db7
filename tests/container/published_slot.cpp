#include "published_slot.h"

#include <vector>

namespace cardel::host {

PublishedSlot::PublishedSlot(uint32_t key, uintptr_t value) {
  std::vector<DWORD> taken;
  for (DWORD slot = TlsAlloc(); slot != TLS_OUT_OF_INDEXES; slot = TlsAlloc()) {
    if (slot > 63) {
      TlsFree(slot);
      break;
    }
    if (!taken.empty() && taken.back() + 1 == slot) {
      slot_ = taken.back();
      taken.pop_back();
      break;
    }
    taken.push_back(slot);
  }
  for (DWORD slot : taken) TlsFree(slot);
  if (!Published()) return;
  TlsSetValue(slot_, reinterpret_cast<void*>(static_cast<uintptr_t>(key)));
  TlsSetValue(slot_ + 1, reinterpret_cast<void*>(value));
}

PublishedSlot::~PublishedSlot() {
  if (!Published()) return;
  TlsSetValue(slot_, nullptr);
  TlsSetValue(slot_ + 1, nullptr);
  TlsFree(slot_ + 1);
  TlsFree(slot_);
}

}  // namespace cardel::host
