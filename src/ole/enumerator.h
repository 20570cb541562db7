#pragma once
// The IEnumXxx pattern once: a cursor over a shared, immutable snapshot of items. Clones share
// the snapshot; every enumerator holds a reference on the object it describes.
#include <ocidl.h>
#include <wrl/client.h>

#include <memory>
#include <new>
#include <vector>

#include "ole/com_object.h"

namespace ole {

struct ConnectDataItem {
  Microsoft::WRL::ComPtr<IUnknown> unknown;
  DWORD cookie;
};

inline void CopyOut(const ConnectDataItem& item, CONNECTDATA* out) noexcept {
  out->pUnk = item.unknown.Get();
  out->pUnk->AddRef();
  out->dwCookie = item.cookie;
}

template <class Interface>
void CopyOut(const Microsoft::WRL::ComPtr<Interface>& item, Interface** out) noexcept {
  *out = item.Get();
  (*out)->AddRef();
}

template <class EnumInterface, class Element, class Item = Microsoft::WRL::ComPtr<std::remove_pointer_t<Element>>>
class ComEnumerator final : public ComObject<EnumInterface> {
  using Items = std::vector<Item>;

 public:
  static HRESULT Create(IUnknown* owner, Items items, EnumInterface** result) noexcept {
    try {
      auto shared = std::make_shared<const Items>(std::move(items));
      auto* e = new ComEnumerator(owner, std::move(shared), 0);
      *result = e;
      return S_OK;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }

  STDMETHODIMP Next(ULONG count, Element* out, ULONG* fetched) noexcept override {
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG n = 0;
    while (n < count && position_ < items_->size()) CopyOut((*items_)[position_++], &out[n++]);
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) noexcept override {
    size_t left = items_->size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() noexcept override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(EnumInterface** result) noexcept override {
    if (!result) return E_POINTER;
    *result = new (std::nothrow) ComEnumerator(owner_.Get(), items_, position_);
    return *result ? S_OK : E_OUTOFMEMORY;
  }

 private:
  ComEnumerator(IUnknown* owner, std::shared_ptr<const Items> items, size_t position) noexcept
      : owner_(owner), items_(std::move(items)), position_(position) {}
  void* Find(REFIID riid) noexcept override {
    return riid == __uuidof(EnumInterface) ? static_cast<EnumInterface*>(this) : nullptr;
  }

  Microsoft::WRL::ComPtr<IUnknown> owner_;
  std::shared_ptr<const Items> items_;
  size_t position_;
};

}  // namespace ole
