#pragma once
// A class factory for one class, parameterised by the function that creates its objects.
#include <unknwn.h>

#include "ole/module.h"

namespace ole {

using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID riid, void** object);

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(CreateFunction create) noexcept : create_(create) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override;
  STDMETHODIMP_(ULONG) Release() noexcept override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) noexcept override;
  STDMETHODIMP LockServer(BOOL lock) noexcept override;

 private:
  ~ClassFactory() = default;
  LONG refs_ = 1;
  CreateFunction create_;
  ModuleReference module_;
};

// Hands out a factory for `create`, as DllGetClassObject does.
HRESULT GetFactory(CreateFunction create, REFIID riid, void** object) noexcept;

}  // namespace ole
