// Reading and writing the saved form: the keys, kinds and defaults of the saved-properties table,
// the stored members of the property catalogue.
#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>

#include "content/font_lookup.h"
#include "control/saved_properties.h"
#include "control/uc_cardel.h"
#include "ole/bag_io.h"
#include "ole/errors.h"
#include "common/variant.h"
#include "picture/picture_object.h"

using Microsoft::WRL::ComPtr;
using ole::RuntimeError;
using cardel::Variant;

namespace cardel {
namespace {

void SetScalar(Variant& v, SavedKind kind, int32_t value) {
  switch (kind) {
    case SavedKind::Int16: Variant::SetI2(v, static_cast<short>(value)); break;
    case SavedKind::Int32: Variant::SetI4(v, value); break;
    case SavedKind::Boolean: Variant::SetBool(v, value != 0); break;
  }
}

// A loaded value as a 32-bit integer; booleans come back as True or False whatever was stored.
HRESULT ToInt32(VARIANT& value, SavedKind kind, int32_t* out) {
  HRESULT hr = VariantChangeType(&value, &value, 0, kind == SavedKind::Boolean ? VT_BOOL : VT_I4);
  if (hr == DISP_E_OVERFLOW) return ole::AutomationHresult(RuntimeError::Overflow);
  if (FAILED(hr)) return hr;
  *out = kind == SavedKind::Boolean ? (V_BOOL(&value) ? VARIANT_TRUE : VARIANT_FALSE) : V_I4(&value);
  return S_OK;
}

HRESULT BytesOf(VARIANT& value, std::vector<uint8_t>* bytes) {
  if (V_VT(&value) == (VT_ARRAY | VT_UI1)) {
    SAFEARRAY* a = V_ARRAY(&value);
    if (!a || a->cDims != 1) {
      bytes->clear();
      return S_OK;
    }
    const auto* data = static_cast<const uint8_t*>(a->pvData);
    bytes->assign(data, data + a->rgsabound[0].cElements);
    return S_OK;
  }
  HRESULT hr = VariantChangeType(&value, &value, 0, VT_BSTR);
  if (FAILED(hr)) return hr;
  const auto* data = reinterpret_cast<const uint8_t*>(V_BSTR(&value));
  bytes->assign(data, data + SysStringByteLen(V_BSTR(&value)));
  return S_OK;
}

HRESULT SetBytes(Variant& v, const std::vector<uint8_t>& bytes) {
  v.clear();
  SAFEARRAY* a = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (!a) return E_OUTOFMEMORY;
  if (!bytes.empty()) memcpy(a->pvData, bytes.data(), bytes.size());
  V_VT(v.get()) = VT_ARRAY | VT_UI1;
  V_ARRAY(v.get()) = a;
  return S_OK;
}

void SetObject(Variant& v, IUnknown* object) {
  v.clear();
  IDispatch* dispatch = nullptr;
  if (object) object->QueryInterface(IID_PPV_ARGS(&dispatch));
  V_VT(v.get()) = VT_DISPATCH;
  V_DISPATCH(v.get()) = dispatch;
}

}  // namespace

HRESULT UcCardel::OnReadProperties(IPropertyBag* bag) noexcept {
  retained_.Release();
  fontCollection_ = PublishedFontCollection();
  if (const HRESULT read = Guard([&] {
        for (const SavedProperty& row : SavedProperties()) {
          HRESULT hr = ReadSavedRow(bag, row);
          if (hr == S_FALSE) break;
          if (FAILED(hr))
            return hr == ole::AutomationHresult(RuntimeError::Overflow) ? Error(RuntimeError::Overflow) : hr;
        }
        return S_OK;
      });
      FAILED(read))
    return read;
  captionShadowDirty_ = true;
  HRESULT shadow = BuildBoxShadow();
  if (FAILED(shadow)) return shadow;
  if (state_.BackAcrylicBlur) PrepareAcrylicSurface();
  return S_OK;
}

// S_FALSE: the rows after this one are not read.
HRESULT UcCardel::ReadSavedRow(IPropertyBag* bag, const SavedProperty& row) {
  Variant fallback, value;
  switch (row.special) {
    case SavedSpecial::None: {
      SetScalar(fallback, row.kind, row.fallback);
      HRESULT hr = ole::BagRead(bag, row.key, fallback.get(), value.get());
      int32_t v = 0;
      if (SUCCEEDED(hr)) hr = ToInt32(*value, row.kind, &v);
      if (FAILED(hr)) return hr;
      return StoreLoadedScalar(row.target, v);
    }
    case SavedSpecial::Caption: {
      const std::wstring name = AmbientDisplayName(L"ucCardel");
      V_VT(fallback.get()) = VT_BSTR;
      V_BSTR(fallback.get()) = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
      HRESULT hr = ole::BagRead(bag, row.key, fallback.get(), value.get());
      return SUCCEEDED(hr) ? BytesOf(*value, &caption_) : hr;
    }
    case SavedSpecial::Font:
    case SavedSpecial::IconFont: {
      SetObject(fallback, AmbientFont().Get());
      HRESULT hr = ole::BagRead(bag, row.key, fallback.get(), value.get());
      if (FAILED(hr)) return hr;
      ComPtr<IFontDisp> font;
      if ((value.type() == VT_DISPATCH || value.type() == VT_UNKNOWN) && V_UNKNOWN(value.get()))
        V_UNKNOWN(value.get())->QueryInterface(IID_PPV_ARGS(&font));
      if (font) CopyFontInto(font.Get(), row.special == SavedSpecial::Font ? font_ : iconFont_, DISPID_UNKNOWN);
      return S_OK;
    }
    case SavedSpecial::MouseIcon: {
      HRESULT hr = ole::BagRead(bag, row.key, nullptr, value.get());
      if (FAILED(hr)) return hr;
      ComPtr<IPictureDisp> icon;
      if ((value.type() == VT_DISPATCH || value.type() == VT_UNKNOWN) && V_UNKNOWN(value.get()))
        V_UNKNOWN(value.get())->QueryInterface(IID_PPV_ARGS(&icon));
      if (IsBrokenIconPicture(icon.Get())) return Error(RuntimeError::InvalidPicture);
      MouseIcon() = icon;
      return S_OK;
    }
    case SavedSpecial::IconCharCode: {
      SetScalar(fallback, SavedKind::Int32, 0);
      HRESULT hr = ole::BagRead(bag, row.key, fallback.get(), value.get());
      return SUCCEEDED(hr) ? ToInt32(*value, SavedKind::Int32, &state_.IconCharCode) : hr;
    }
    case SavedSpecial::PicturePresent: {
      ApplySavedHandPointer();
      SetScalar(fallback, SavedKind::Boolean, 0);
      HRESULT hr = ole::BagRead(bag, row.key, fallback.get(), value.get());
      int32_t present = 0;
      if (SUCCEEDED(hr)) hr = ToInt32(*value, SavedKind::Boolean, &present);
      if (FAILED(hr)) return hr;
      return present ? S_OK : S_FALSE;
    }
    case SavedSpecial::PictureArr: {
      // Read without a default: when "PicturePresent" promises bytes that are not there, the bag's own
      // answer for the absent key ends the load, rather than loading as if no picture had been saved.
      HRESULT hr = bag->Read(row.key, value.get(), nullptr);
      if (FAILED(hr)) return hr;
      pictureImage_.reset();  // it reads from the bytes about to be replaced
      hr = BytesOf(*value, &pictureData_);
      return FAILED(hr) ? hr : LoadPictureData();
    }
  }
  return S_OK;
}

HRESULT UcCardel::StoreLoadedScalar(Prop prop, int32_t value) {
  const PropertyInfo& info = Describe(prop);
  if (info.storedBytes == 2 && (value < -32768 || value > 32767))
    return ole::AutomationHresult(RuntimeError::Overflow);
  StoreMember(info, value);
  return S_OK;
}

HRESULT UcCardel::OnWriteProperties(IPropertyBag* bag) noexcept {
  const auto rows = SavedProperties();
  return Guard([&] {
    for (uint8_t index : SavedWriteOrder()) {
      HRESULT hr = WriteSavedRow(bag, rows[index]);
      if (FAILED(hr)) return hr;
    }
    return S_OK;
  });
}

HRESULT UcCardel::WriteSavedRow(IPropertyBag* bag, const SavedProperty& row) {
  Variant fallback, value;
  switch (row.special) {
    case SavedSpecial::None: {
      const int32_t v = LoadMember(Describe(row.target));
      if (row.kind == SavedKind::Int16 && (v < -32768 || v > 32767)) return Error(RuntimeError::Overflow);
      SetScalar(value, row.kind, v);
      SetScalar(fallback, row.kind, row.fallback);
      return ole::BagWrite(bag, row.key, *value, row.alwaysWritten ? nullptr : fallback.get());
    }
    case SavedSpecial::Caption: {
      HRESULT hr = SetBytes(value, caption_);
      return SUCCEEDED(hr) ? ole::BagWrite(bag, row.key, *value, nullptr) : hr;
    }
    case SavedSpecial::Font:
    case SavedSpecial::IconFont: {
      SetObject(value, (row.special == SavedSpecial::Font ? font_ : iconFont_).Get());
      SetObject(fallback, AmbientFont().Get());
      return ole::BagWrite(bag, row.key, *value, fallback.get());
    }
    case SavedSpecial::MouseIcon: {
      if (!MouseIcon()) return S_OK;
      SetObject(value, MouseIcon().Get());
      return ole::BagWrite(bag, row.key, *value, nullptr);
    }
    case SavedSpecial::IconCharCode: {
      SetScalar(value, SavedKind::Int32, state_.IconCharCode);
      SetScalar(fallback, SavedKind::Int32, 0);
      return ole::BagWrite(bag, row.key, *value, fallback.get());
    }
    case SavedSpecial::PicturePresent: {
      SetScalar(value, SavedKind::Boolean, state_.PictureExist);
      SetScalar(fallback, SavedKind::Boolean, 0);
      return ole::BagWrite(bag, row.key, *value, fallback.get());
    }
    case SavedSpecial::PictureArr: {
      if (!state_.PictureExist) {
        SetScalar(value, SavedKind::Int16, 0);
        return ole::BagWrite(bag, row.key, *value, nullptr);
      }
      HRESULT hr = SetBytes(value, pictureData_);
      return SUCCEEDED(hr) ? ole::BagWrite(bag, row.key, *value, nullptr) : hr;
    }
  }
  return S_OK;
}

}  // namespace cardel
