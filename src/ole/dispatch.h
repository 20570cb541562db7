#pragma once
// IDispatch for a dual interface, answered from the library's own type information so that
// late-bound calls reach exactly the vtable methods early-bound clients call.
#include <oaidl.h>
#include <wrl/client.h>

namespace ole {

// Reads the type information of `guid` from the type library embedded in this module.
HRESULT LoadModuleTypeInfo(REFGUID guid, ITypeInfo** info) noexcept;

HRESULT DispatchGetIDsOfNames(ITypeInfo* info, REFIID riid, LPOLESTR* names, UINT count, DISPID* ids) noexcept;

// Invokes through the type information; a failing member's IErrorInfo becomes the EXCEPINFO.
HRESULT DispatchInvoke(ITypeInfo* info, void* instance, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) noexcept;

template <class Interface, const IID* InterfaceId>
class DualDispatch : public Interface {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }

  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    HRESULT hr = EnsureTypeInfo();
    if (FAILED(hr)) return hr;
    return typeInfo_.CopyTo(info);
  }

  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept override {
    HRESULT hr = EnsureTypeInfo();
    if (FAILED(hr)) return hr;
    return DispatchGetIDsOfNames(typeInfo_.Get(), riid, names, count, ids);
  }

  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excepInfo, UINT* argErr) noexcept override {
    HRESULT hr = EnsureTypeInfo();
    if (FAILED(hr)) return hr;
    return DispatchInvoke(typeInfo_.Get(), static_cast<Interface*>(this), id, riid, flags, params, result,
                          excepInfo, argErr);
  }

 private:
  HRESULT EnsureTypeInfo() noexcept {
    if (typeInfo_) return S_OK;
    return LoadModuleTypeInfo(*InterfaceId, &typeInfo_);
  }

  Microsoft::WRL::ComPtr<ITypeInfo> typeInfo_;
};

}  // namespace ole
