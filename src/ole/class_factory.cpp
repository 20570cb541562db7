#include "ole/class_factory.h"

namespace ole {

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  // An aggregating outer object may only ask for the inner IUnknown.
  if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
  return create_(outer, riid, object);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) noexcept {
  if (lock)
    LockModule();
  else
    UnlockModule();
  return S_OK;
}

HRESULT GetFactory(CreateFunction create, REFIID riid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  auto factory = MakeComObject<ClassFactory>(create);
  if (!factory) return E_OUTOFMEMORY;
  return factory->QueryInterface(riid, object);
}

}  // namespace ole
