// Property access: one setter sequence for every stored property, driven by the catalogue.
#include <new>

#include "common/checked_int.h"
#include "common/automation_handles.h"
#include "content/icon_code.h"
#include "control/shadow_input.h"
#include "control/uc_cardel.h"
#include "ole/errors.h"
#include "picture/picture_object.h"
#include "render/colour.h"

using Microsoft::WRL::ComPtr;
using ole::RuntimeError;

namespace cardel {
namespace {

bool FitsInt16(int32_t v) { return v >= -32768 && v <= 32767; }

// The read-only state: a value out, nothing else.
HRESULT HandOut(LONG* out, int32_t value) noexcept {
  if (!out) return E_POINTER;
  *out = value;
  return S_OK;
}

HRESULT HandOut(VARIANT_BOOL* out, bool value) noexcept {
  if (!out) return E_POINTER;
  *out = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

}  // namespace

void* UcCardel::ScalarAddress(const PropertyInfo& info) noexcept {
  auto* base = info.holder == Holder::Host ? reinterpret_cast<uint8_t*>(&HostHeld())
                                           : reinterpret_cast<uint8_t*>(&state_);
  return base + info.offset;
}

int32_t UcCardel::LoadMember(const PropertyInfo& info) noexcept {
  const void* member = ScalarAddress(info);
  return info.storedBytes == 2 ? *static_cast<const int16_t*>(member) : *static_cast<const int32_t*>(member);
}

void UcCardel::StoreMember(const PropertyInfo& info, int32_t value) noexcept {
  void* member = ScalarAddress(info);
  if (info.storedBytes == 2)
    *static_cast<int16_t*>(member) = static_cast<int16_t>(value);
  else
    *static_cast<int32_t*>(member) = value;
}

HRESULT UcCardel::ReadScalar(Prop prop, int32_t* value) noexcept {
  const PropertyInfo& info = Describe(prop);
  const int32_t v = LoadMember(info);
  // A 32-bit member published as 16 bits may hold a loaded value that does not fit.
  if (info.publishedBytes == 2 && !FitsInt16(v)) return Error(RuntimeError::Overflow);
  *value = v;
  return S_OK;
}

HRESULT UcCardel::PutScalar(Prop prop, int32_t value) noexcept {
  const PropertyInfo& info = Describe(prop);
  if (info.storedBytes == 2 && !FitsInt16(value)) return Error(RuntimeError::Overflow);
  StoreMember(info, ClampValue(value, info.min, info.max));
  return ApplyEffects(info.effects, info.dispid);
}

HRESULT UcCardel::ApplyEffects(uint16_t effects, DISPID dispid) noexcept {
  if (effects & kNotifyAccessibleState) NotifyAccessible(EVENT_OBJECT_STATECHANGE);
  if (effects & kNotifyAccessibleName) NotifyAccessible(EVENT_OBJECT_NAMECHANGE);
  if (effects & kApplyHandPointer) ApplyHandPointer();
  if (effects & kNotifyChange) NotifyPropertyChanged(dispid);
  if (effects & kSwitchAcrylicSurface) state_.BackAcrylicBlur ? PrepareAcrylicSurface() : ReleaseAcrylicSurface();
  if (effects & kRebuildBoxShadow) {
    HRESULT hr = BuildBoxShadow();
    if (FAILED(hr)) return hr;
  }
  if (effects & kDropPictureBrush) DropPictureLayer();
  if ((effects & kDropPictureBrushIfShadow) && state_.PictureShadow == VARIANT_TRUE) DropPictureLayer();
  if (effects & kDisposeCaptionShadow) captionShadowImage_.reset();
  if (effects & kMarkCaptionShadowDirty) captionShadowDirty_ = true;
  if ((effects & kApplyAutoSize) && state_.AutoSize) {
    HRESULT hr = ApplyAutoSize();
    if (FAILED(hr)) return hr;
  }
  if (effects & kRepaint) DropBoxAndRepaint();
  return S_OK;
}

HRESULT UcCardel::BuildBoxShadow() noexcept {
  boxShadowImage_.reset();
  boxShadowGivenUp_ = false;
  // The stretched layer is redrawn from the new image; its surface is kept for that.
  retained_.shadowAt = {};
  captionShadowDirty_ = true;
  builtFrom_.boxShadow = ResolvedColour(state_.ShadowColor);
  return Guard([&] {
    boxShadowImage_ = RenderBoxShadow(BoxShadowInputFrom(state_, dpiScale_, ClientSize()));
    return S_OK;
  });
}

STDMETHODIMP UcCardel::get_PictureGetHeight(LONG* value) noexcept { return HandOut(value, state_.PictureGetHeight); }
STDMETHODIMP UcCardel::get_PictureGetWidth(LONG* value) noexcept { return HandOut(value, state_.PictureGetWidth); }
STDMETHODIMP UcCardel::get_PictureExist(VARIANT_BOOL* value) noexcept { return HandOut(value, state_.PictureExist); }
STDMETHODIMP UcCardel::get_IsMouseOver(VARIANT_BOOL* value) noexcept { return HandOut(value, state_.IsMouseOver); }
STDMETHODIMP UcCardel::get_IsMouseEnter(VARIANT_BOOL* value) noexcept { return HandOut(value, state_.IsMouseEnter); }

STDMETHODIMP UcCardel::get_Caption(BSTR* value) noexcept {
  if (!value) return E_POINTER;
  *value = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(caption_.data()),
                             static_cast<UINT>(caption_.size() / sizeof(OLECHAR)));
  return *value ? S_OK : Error(RuntimeError::OutOfMemory);
}

STDMETHODIMP UcCardel::put_Caption(BSTR* value) noexcept {
  if (!value) return E_POINTER;
  const auto* bytes = reinterpret_cast<const uint8_t*>(*value);
  if (const HRESULT hr = Guard([&] {
        caption_.assign(bytes, bytes + SysStringByteLen(*value));
        return S_OK;
      });
      FAILED(hr))
    return hr;
  ApplyEffects(kNotifyAccessibleName | kNotifyChange, dispids::Caption);
  if (state_.AutoSize) {
    HRESULT hr = PutScalar(Prop::AutoSize, VARIANT_TRUE);
    if (FAILED(hr)) return hr;
  }
  ApplyEffects(kMarkCaptionShadowDirty | kRepaint, DISPID_UNKNOWN);
  return S_OK;
}

HRESULT UcCardel::CopyFontInto(IFontDisp* source, ComPtr<IFont>& target, DISPID dispid) noexcept {
  if (!source) return Error(RuntimeError::InvalidPropertyValue);
  ComPtr<IFont> from;
  if (FAILED(source->QueryInterface(IID_PPV_ARGS(&from)))) return Error(RuntimeError::TypeMismatch);
  if (!target) return Error(RuntimeError::OutOfMemory);
  UniqueBstr name;
  CY size{};
  BOOL bold = FALSE, italic = FALSE, underline = FALSE, strike = FALSE;
  SHORT weight = FW_NORMAL, charset = DEFAULT_CHARSET;
  HRESULT hr = from->get_Name(name.put());
  if (SUCCEEDED(hr)) hr = from->get_Size(&size);
  if (SUCCEEDED(hr)) hr = from->get_Bold(&bold);
  if (SUCCEEDED(hr)) hr = from->get_Italic(&italic);
  if (SUCCEEDED(hr)) hr = from->get_Underline(&underline);
  if (SUCCEEDED(hr)) hr = from->get_Strikethrough(&strike);
  if (SUCCEEDED(hr)) hr = from->get_Weight(&weight);
  if (SUCCEEDED(hr)) hr = from->get_Charset(&charset);
  if (SUCCEEDED(hr)) {
    target->put_Name(name.get());
    target->put_Size(size);
    target->put_Bold(bold);
    target->put_Italic(italic);
    target->put_Underline(underline);
    target->put_Strikethrough(strike);
    // Weight last: the bold flag would otherwise override an explicit weight.
    target->put_Weight(weight);
    target->put_Charset(charset);
  }
  if (FAILED(hr)) return ole::RaiseError(hr, L"The font could not be read", IID__ucCardel);
  if (dispid != DISPID_UNKNOWN) ApplyEffects(kNotifyChange | kMarkCaptionShadowDirty | kRepaint, dispid);
  return S_OK;
}

STDMETHODIMP UcCardel::get_Font(IFontDisp** value) noexcept {
  if (!value) return E_POINTER;
  *value = nullptr;
  // Without memory for its font at creation the control has none to give.
  return font_ ? font_.CopyTo(IID_IFontDisp, reinterpret_cast<void**>(value)) : Error(RuntimeError::OutOfMemory);
}

STDMETHODIMP UcCardel::putref_Font(IFontDisp* value) noexcept { return CopyFontInto(value, font_, dispids::Font); }

STDMETHODIMP UcCardel::get_IconFont(IFontDisp** value) noexcept {
  if (!value) return E_POINTER;
  *value = nullptr;
  return iconFont_ ? iconFont_.CopyTo(IID_IFontDisp, reinterpret_cast<void**>(value))
                   : Error(RuntimeError::OutOfMemory);
}

STDMETHODIMP UcCardel::putref_IconFont(IFontDisp* value) noexcept {
  return CopyFontInto(value, iconFont_, dispids::IconFont);
}

STDMETHODIMP UcCardel::get_IconCharCode(BSTR* value) noexcept {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Guard([&] {
    const std::wstring text = FormatIconCharCode(state_.IconCharCode);
    *value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *value ? S_OK : Error(RuntimeError::OutOfMemory);
  });
}

STDMETHODIMP UcCardel::put_IconCharCode(BSTR value) noexcept {
  IconCodeParse parsed;
  if (const HRESULT hr = Guard([&] {
        parsed = ParseIconCharCode(std::wstring_view(value ? value : L"", SysStringLen(value)));
        return parsed.error ? Error(*parsed.error) : S_OK;
      });
      FAILED(hr))
    return hr;
  state_.IconCharCode = parsed.code;
  ApplyEffects(kNotifyChange | kMarkCaptionShadowDirty | kRepaint, dispids::IconCharCode);
  return S_OK;
}

STDMETHODIMP UcCardel::get_MouseIcon(IPictureDisp** value) noexcept {
  if (!value) return E_POINTER;
  *value = nullptr;
  return MouseIcon() ? MouseIcon().CopyTo(value) : S_OK;
}

STDMETHODIMP UcCardel::putref_MouseIcon(IPictureDisp* value) noexcept {
  if (IsBrokenIconPicture(value)) return Error(RuntimeError::InvalidPicture);
  MouseIcon() = value;
  ApplyEffects(kNotifyChange, dispids::MouseIcon);
  return S_OK;
}

}  // namespace cardel
