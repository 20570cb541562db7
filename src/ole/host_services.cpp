// What a form runtime gives its controls, built on the container's OLE interfaces: change
// notifications, events, synchronous repaint, ambient properties and the control's size.
#include <olectl.h>

#include <vector>

#include "common/ole_units.h"
#include "common/variant.h"
#include "ole/control_base.h"

using Microsoft::WRL::ComPtr;

namespace ole {

void ControlBase::NotifyPropertyChanged(DISPID id) noexcept {
  SetDirty();
  // A notification that cannot be sent for want of memory is lost; the change itself stands.
  propertyNotify_.ForEachSink([id](IUnknown* sink) { static_cast<IPropertyNotifySink*>(sink)->OnChanged(id); });
}

HRESULT ControlBase::FireEvent(DISPID id, std::span<VARIANTARG> argsInOrder) noexcept {
  // While the container has events frozen it does not want them: they are dropped, not queued.
  if (eventFreeze_ > 0 || !events_.HasSinks()) return S_OK;
  std::vector<VARIANTARG> reversed;
  try {
    reversed.assign(argsInOrder.rbegin(), argsInOrder.rend());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  // Keep the control alive while handlers run: one may release the last outside reference.
  ComPtr<IUnknown> self(outer_);
  return events_.ForEachSink([&](IUnknown* sink) {
    static_cast<IDispatch*>(sink)->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                          nullptr, nullptr);
  });
}

void ControlBase::Invalidate() noexcept {
  if (ownWindow_) {
    InvalidateRect(ownWindow_.get(), nullptr, FALSE);
    return;
  }
  if (inPlaceActive_ && windowless_) {
    // Some containers leave InvalidateRect unimplemented; their window is invalidated directly.
    if (FAILED(windowlessSite_->InvalidateRect(&posRect_, TRUE)) && containerWindow_)
      InvalidateRect(containerWindow_, &posRect_, TRUE);
    return;
  }
  if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
  if (dataAdvise_) dataAdvise_->SendOnDataChange(this, 0, 0);
}

void ControlBase::Repaint() noexcept {
  Invalidate();
  if (ownWindow_)
    UpdateWindow(ownWindow_.get());
  else if (inPlaceActive_ && windowless_ && containerWindow_)
    UpdateWindow(containerWindow_);
}

HRESULT ControlBase::GetAmbient(DISPID id, VARIANT* value) noexcept {
  VariantInit(value);
  if (!ambients_) return DISP_E_MEMBERNOTFOUND;
  DISPPARAMS none{};
  return ambients_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
}

bool ControlBase::AmbientUserMode() noexcept {
  cardel::Variant v;
  // Without a container that says otherwise, the control is running, not being designed.
  if (FAILED(GetAmbient(DISPID_AMBIENT_USERMODE, v.get()))) return true;
  bool user = FAILED(VariantChangeType(v.get(), v.get(), 0, VT_BOOL)) || V_BOOL(v.get()) != VARIANT_FALSE;
  return user;
}

OLE_COLOR ControlBase::AmbientBackColor(OLE_COLOR fallback) noexcept {
  cardel::Variant v;
  if (FAILED(GetAmbient(DISPID_AMBIENT_BACKCOLOR, v.get()))) return fallback;
  OLE_COLOR colour = SUCCEEDED(VariantChangeType(v.get(), v.get(), 0, VT_I4)) ? static_cast<OLE_COLOR>(V_I4(v.get())) : fallback;
  return colour;
}

std::wstring ControlBase::AmbientDisplayName(const wchar_t* fallback) {
  cardel::Variant v;
  if (FAILED(GetAmbient(DISPID_AMBIENT_DISPLAYNAME, v.get()))) return fallback;
  std::wstring name = fallback;
  if (SUCCEEDED(VariantChangeType(v.get(), v.get(), 0, VT_BSTR)) && V_BSTR(v.get()))
    name.assign(V_BSTR(v.get()), SysStringLen(V_BSTR(v.get())));
  return name;
}

ComPtr<IFontDisp> ControlBase::AmbientFont() noexcept {
  cardel::Variant v;
  ComPtr<IFontDisp> font;
  if (FAILED(GetAmbient(DISPID_AMBIENT_FONT, v.get()))) return font;
  if ((v.type() == VT_DISPATCH || v.type() == VT_UNKNOWN) && V_UNKNOWN(v.get()))
    V_UNKNOWN(v.get())->QueryInterface(IID_PPV_ARGS(&font));
  return font;
}

SIZE ControlBase::ClientSize() const noexcept {
  if (inPlaceActive_) return SIZE{posRect_.right - posRect_.left, posRect_.bottom - posRect_.top};
  return cardel::HimetricToScreenPixels(extent_);
}

}  // namespace ole
