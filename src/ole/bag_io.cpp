#include "ole/bag_io.h"

#include <oleauto.h>
#include <olectl.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace ole {

HRESULT BagRead(IPropertyBag* bag, const wchar_t* key, const VARIANT* fallback, VARIANT* value) noexcept {
  VariantInit(value);
  HRESULT hr = bag->Read(key, value, nullptr);
  if (SUCCEEDED(hr)) return S_OK;
  VariantClear(value);
  // Bags answer an absent key with E_INVALIDARG; that is what the default stands for.
  if (hr != E_INVALIDARG) return hr;
  if (!fallback) return S_FALSE;
  return VariantCopy(value, const_cast<VARIANT*>(fallback));
}

bool SameAsDefault(const VARIANT& value, const VARIANT& fallback) noexcept {
  const VARTYPE vt = V_VT(&value);
  if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    if (V_VT(&fallback) != VT_DISPATCH && V_VT(&fallback) != VT_UNKNOWN) return !V_UNKNOWN(&value);
    if (V_UNKNOWN(&value) == V_UNKNOWN(&fallback)) return true;
    ComPtr<IFont> a, b;
    if (!V_UNKNOWN(&value) || !V_UNKNOWN(&fallback)) return false;
    if (FAILED(V_UNKNOWN(&value)->QueryInterface(IID_PPV_ARGS(&a))) ||
        FAILED(V_UNKNOWN(&fallback)->QueryInterface(IID_PPV_ARGS(&b))))
      return false;
    return a->IsEqual(b.Get()) == S_OK;
  }
  if (vt & VT_ARRAY) return false;
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(&fallback), 0, vt))) return false;
  const bool same = VarCmp(const_cast<VARIANT*>(&value), &converted, LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
  VariantClear(&converted);
  return same;
}

HRESULT BagWrite(IPropertyBag* bag, const wchar_t* key, VARIANT& value, const VARIANT* fallback) noexcept {
  if (fallback && SameAsDefault(value, *fallback)) return S_OK;
  return bag->Write(key, &value);
}

}  // namespace ole
