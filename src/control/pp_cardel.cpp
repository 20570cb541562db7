#include "control/pp_cardel.h"

#include <new>

#include "control/cardel_classes.h"

namespace cardel {

HRESULT CreatePpCardel(IUnknown* outer, REFIID riid, void** object) noexcept {
  if (outer) return CLASS_E_NOAGGREGATION;
  auto* page = new (std::nothrow) PpCardel();
  if (!page) return E_OUTOFMEMORY;
  HRESULT hr = page->QueryInterface(riid, object);
  page->Release();
  return hr;
}

STDMETHODIMP PpCardel::QueryInterface(REFIID riid, void** object) noexcept {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID__ppCardel) {
    *object = static_cast<_ppCardel*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) PpCardel::AddRef() noexcept { return InterlockedIncrement(&refs_); }

STDMETHODIMP_(ULONG) PpCardel::Release() noexcept {
  ULONG n = InterlockedDecrement(&refs_);
  if (n == 0) delete this;
  return n;
}

}  // namespace cardel
