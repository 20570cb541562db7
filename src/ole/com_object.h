#pragma once
// Reference counting and interface lookup for the small COM objects the library hands to
// hosts and clients. Each keeps the library loaded for as long as someone holds it.
#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include <new>
#include <tuple>
#include <utility>

#include "ole/module.h"

namespace ole {

template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override {
    if (!object) return E_POINTER;
    *object = riid == IID_IUnknown ? static_cast<IUnknown*>(static_cast<Primary*>(this)) : Find(riid);
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() noexcept override {
    const ULONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() noexcept = default;
  virtual ~ComObject() = default;
  // The interface for riid other than IUnknown, or nullptr.
  virtual void* Find(REFIID riid) noexcept = 0;

 private:
  using Primary = std::tuple_element_t<0, std::tuple<Interfaces...>>;
  LONG refs_ = 1;
  ole::ModuleReference module_;
};

// The new object's one reference is the returned pointer; empty when memory ran out.
template <class T, class... Args>
Microsoft::WRL::ComPtr<T> MakeComObject(Args&&... args) noexcept {
  Microsoft::WRL::ComPtr<T> object;
  // Not Attach: mingw-w64's adds a reference of its own, and the object would never be freed.
  *object.GetAddressOf() = new (std::nothrow) T(std::forward<Args>(args)...);
  return object;
}

}  // namespace ole
