#pragma once
// A class factory for one class, parameterised by the function that creates its objects.
#include <unknwn.h>

#include "ole/com_object.h"

namespace ole {

using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID riid, void** object);

class ClassFactory final : public ComObject<IClassFactory> {
 public:
  explicit ClassFactory(CreateFunction create) noexcept : create_(create) {}

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) noexcept override;
  STDMETHODIMP LockServer(BOOL lock) noexcept override;

 private:
  void* Find(REFIID riid) noexcept override {
    return riid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
  }

  CreateFunction create_;
};

// Hands out a factory for `create`, as DllGetClassObject does.
HRESULT GetFactory(CreateFunction create, REFIID riid, void** object) noexcept;

}  // namespace ole
