#include "ole/bag_io.h"

#include <oleauto.h>
#include <olectl.h>
#include <wrl/client.h>

#include "common/automation_handles.h"
#include "common/variant.h"

using cardel::UniqueBstr;
using cardel::Variant;
using Microsoft::WRL::ComPtr;

namespace ole {

HRESULT BagRead(IPropertyBag* bag, const wchar_t* key, const VARIANT* fallback, VARIANT* value) noexcept {
  VariantInit(value);
  Variant read;
  HRESULT hr = bag->Read(key, read.get(), nullptr);
  if (SUCCEEDED(hr)) {
    *value = read.release();
    return S_OK;
  }
  // Bags answer an absent key with E_INVALIDARG; that is what the default stands for.
  if (hr != E_INVALIDARG) return hr;
  if (!fallback) return S_FALSE;
  return VariantCopy(value, const_cast<VARIANT*>(fallback));
}

namespace {

// Fonts are equal when everything a font property copies is equal. IFont::IsEqual compares the sizes as
// they were described, and a copy made through get_Size holds the realised size (8 pt reads 8.25 pt), so a
// copy of the ambient font would never equal it; Wine's IsEqual also refuses fonts of equal description.
bool SameFont(IFont* a, IFont* b) noexcept {
  UniqueBstr nameA, nameB;
  CY sizeA{}, sizeB{};
  BOOL boldA = FALSE, boldB = FALSE, italicA = FALSE, italicB = FALSE, underlineA = FALSE, underlineB = FALSE,
       strikeA = FALSE, strikeB = FALSE;
  SHORT weightA = 0, weightB = 0, charsetA = 0, charsetB = 0;
  const bool read = SUCCEEDED(a->get_Name(nameA.put())) && SUCCEEDED(b->get_Name(nameB.put())) &&
                    SUCCEEDED(a->get_Size(&sizeA)) && SUCCEEDED(b->get_Size(&sizeB)) &&
                    SUCCEEDED(a->get_Bold(&boldA)) && SUCCEEDED(b->get_Bold(&boldB)) &&
                    SUCCEEDED(a->get_Italic(&italicA)) && SUCCEEDED(b->get_Italic(&italicB)) &&
                    SUCCEEDED(a->get_Underline(&underlineA)) && SUCCEEDED(b->get_Underline(&underlineB)) &&
                    SUCCEEDED(a->get_Strikethrough(&strikeA)) && SUCCEEDED(b->get_Strikethrough(&strikeB)) &&
                    SUCCEEDED(a->get_Weight(&weightA)) && SUCCEEDED(b->get_Weight(&weightB)) &&
                    SUCCEEDED(a->get_Charset(&charsetA)) && SUCCEEDED(b->get_Charset(&charsetB));
  const bool same = read && VarBstrCmp(nameA.get(), nameB.get(), LOCALE_USER_DEFAULT, NORM_IGNORECASE) == VARCMP_EQ &&
                    sizeA.int64 == sizeB.int64 && !boldA == !boldB && !italicA == !italicB &&
                    !underlineA == !underlineB && !strikeA == !strikeB && weightA == weightB && charsetA == charsetB;
  return same;
}

}  // namespace

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
    return SameFont(a.Get(), b.Get());
  }
  if (vt & VT_ARRAY) return false;
  Variant converted;
  if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&fallback), 0, vt))) return false;
  return VarCmp(const_cast<VARIANT*>(&value), converted.get(), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}

HRESULT BagWrite(IPropertyBag* bag, const wchar_t* key, VARIANT& value, const VARIANT* fallback) noexcept {
  if (fallback && SameAsDefault(value, *fallback)) return S_OK;
  return bag->Write(key, &value);
}

}  // namespace ole
