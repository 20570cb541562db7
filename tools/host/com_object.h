#pragma once
// Reference counting and QueryInterface plumbing shared by the host's COM objects. A derived class lists
// its interfaces once as template arguments and answers Find() with the matching base pointer.
#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include <tuple>
#include <utility>

namespace cardel::host {

using Microsoft::WRL::ComPtr;

template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) noexcept override {
    if (!out) return E_POINTER;
    *out = riid == IID_IUnknown ? static_cast<IUnknown*>(static_cast<Primary*>(this)) : Find(riid);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;
  // The interface pointer for riid other than IUnknown, or nullptr.
  virtual void* Find(REFIID riid) noexcept = 0;

 private:
  using Primary = std::tuple_element_t<0, std::tuple<Interfaces...>>;
  // Every object lives on the one UI thread of the test, so a plain counter is enough.
  ULONG refs_ = 1;
};

// Creates a COM object whose only reference is the returned pointer.
template <class T, class... Args>
ComPtr<T> MakeCom(Args&&... args) {
  ComPtr<T> object;
  // Not Attach: mingw-w64's adds a reference of its own, and the object would never be freed.
  *object.GetAddressOf() = new T(std::forward<Args>(args)...);
  return object;
}

}  // namespace cardel::host
