// IOleObject and IOleControl: the container's handle on the control as an embedded object.
#include <new>

#include "ole/control_base.h"
#include "ole/verbs.h"

using Microsoft::WRL::ComPtr;

namespace ole {

STDMETHODIMP ControlBase::SetClientSite(IOleClientSite* site) noexcept {
  if (!site) {
    InPlaceDeactivate();
    ambients_.Reset();
    controlSite_.Reset();
    clientSite_.Reset();
    return S_OK;
  }
  clientSite_ = site;
  site->QueryInterface(IID_PPV_ARGS(&ambients_));
  site->QueryInterface(IID_PPV_ARGS(&controlSite_));
  return S_OK;
}

STDMETHODIMP ControlBase::GetClientSite(IOleClientSite** site) noexcept {
  if (!site) return E_POINTER;
  return clientSite_.CopyTo(site);
}

STDMETHODIMP ControlBase::SetHostNames(LPCOLESTR, LPCOLESTR) noexcept { return S_OK; }

STDMETHODIMP ControlBase::Close(DWORD saveOption) noexcept {
  ++deactivations_;
  InPlaceDeactivate();
  if (Dirty() && clientSite_ && (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE))
    clientSite_->SaveObject();
  if (oleAdvise_) oleAdvise_->SendOnClose();
  oleAdvise_.Reset();
  viewSink_.Reset();
  dataAdvise_.Reset();
  return S_OK;
}

// Monikers, linking and data transfer are not part of what a control offers.
STDMETHODIMP ControlBase::SetMoniker(DWORD, IMoniker*) noexcept { return E_NOTIMPL; }
STDMETHODIMP ControlBase::GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP ControlBase::InitFromData(IDataObject*, BOOL, DWORD) noexcept { return E_NOTIMPL; }
STDMETHODIMP ControlBase::GetClipboardData(DWORD, IDataObject** data) noexcept {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND, LPCRECT posRect) noexcept {
  if (activeSite && !clientSite_) SetClientSite(activeSite);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      return Activate(verb, posRect);
    case OLEIVERB_HIDE:
      UIDeactivate();
      if (ownWindow_) ShowWindow(ownWindow_.get(), SW_HIDE);
      OnHide();
      return S_OK;
    case OLEIVERB_PROPERTIES: {
      if (!clientSite_) return E_UNEXPECTED;
      // A designer's own frame also shows the properties it keeps for the control: it goes first.
      if (controlSite_ && controlSite_->ShowPropertyFrame() == S_OK) return S_OK;
      CAUUID pages{};
      HRESULT hr = GetPages(&pages);
      if (FAILED(hr)) return hr;
      IUnknown* self = outer_;
      hr = OleCreatePropertyFrame(containerWindow_, 0, 0, info_.userTypeName, 1, &self, pages.cElems, pages.pElems,
                                  LOCALE_USER_DEFAULT, 0, nullptr);
      CoTaskMemFree(pages.pElems);
      return hr;
    }
    default:
      return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
  }
}

STDMETHODIMP ControlBase::EnumVerbs(IEnumOLEVERB** verbs) noexcept {
  if (!verbs) return E_POINTER;
  return CreateVerbEnumerator(outer_, verbs);
}

STDMETHODIMP ControlBase::Update() noexcept { return S_OK; }
STDMETHODIMP ControlBase::IsUpToDate() noexcept { return S_OK; }

STDMETHODIMP ControlBase::GetUserClassID(CLSID* clsid) noexcept {
  if (!clsid) return E_POINTER;
  *clsid = *info_.clsid;
  return S_OK;
}

STDMETHODIMP ControlBase::GetUserType(DWORD form, LPOLESTR* name) noexcept {
  if (!name) return E_POINTER;
  if (SUCCEEDED(OleRegGetUserType(*info_.clsid, form, name))) return S_OK;
  size_t bytes = (wcslen(info_.userTypeName) + 1) * sizeof(wchar_t);
  *name = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (!*name) return E_OUTOFMEMORY;
  memcpy(*name, info_.userTypeName, bytes);
  return S_OK;
}

STDMETHODIMP ControlBase::SetExtent(DWORD aspect, SIZEL* size) noexcept {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (size->cx < 0 || size->cy < 0) return E_INVALIDARG;
  extent_ = *size;
  if (!inPlaceActive_) CheckSizeChange();
  return S_OK;
}

STDMETHODIMP ControlBase::GetExtent(DWORD aspect, SIZEL* size) noexcept {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP ControlBase::Advise(IAdviseSink* sink, DWORD* connection) noexcept {
  if (!connection) return E_POINTER;
  *connection = 0;
  if (!sink) return E_INVALIDARG;
  if (!oleAdvise_) {
    HRESULT hr = CreateOleAdviseHolder(&oleAdvise_);
    if (FAILED(hr)) return hr;
  }
  return oleAdvise_->Advise(sink, connection);
}

STDMETHODIMP ControlBase::Unadvise(DWORD connection) noexcept {
  if (!oleAdvise_) return OLE_E_NOCONNECTION;
  return oleAdvise_->Unadvise(connection);
}

STDMETHODIMP ControlBase::EnumAdvise(IEnumSTATDATA** advise) noexcept {
  if (!advise) return E_POINTER;
  *advise = nullptr;
  if (!oleAdvise_) return S_FALSE;
  return oleAdvise_->EnumAdvise(advise);
}

STDMETHODIMP ControlBase::GetMiscStatus(DWORD aspect, DWORD* status) noexcept {
  if (!status) return E_POINTER;
  *status = aspect == DVASPECT_CONTENT ? info_.miscStatus : 0;
  return S_OK;
}

STDMETHODIMP ControlBase::SetColorScheme(LOGPALETTE*) noexcept { return E_NOTIMPL; }

// IOleControl

STDMETHODIMP ControlBase::GetControlInfo(CONTROLINFO* info) noexcept {
  if (!info) return E_POINTER;
  // The control has no mnemonics: an empty accelerator table.
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

STDMETHODIMP ControlBase::OnMnemonic(MSG*) noexcept { return E_NOTIMPL; }

STDMETHODIMP ControlBase::OnAmbientPropertyChange(DISPID id) noexcept {
  OnAmbientChanged(id);
  return S_OK;
}

STDMETHODIMP ControlBase::FreezeEvents(BOOL freeze) noexcept {
  if (freeze)
    ++eventFreeze_;
  else if (eventFreeze_ > 0)
    --eventFreeze_;
  return S_OK;
}

// IQuickActivate: the container hands over in one call what it would otherwise set one by one.

STDMETHODIMP ControlBase::QuickActivate(QACONTAINER* container, QACONTROL* control) noexcept {
  if (!container || !control) return E_POINTER;
  if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL)) return E_INVALIDARG;
  HRESULT hr = SetClientSite(container->pClientSite);
  if (FAILED(hr)) return hr;
  if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  control->dwEventCookie = 0;
  control->dwPropNotifyCookie = 0;
  if (container->pUnkEventSink) events_.Advise(container->pUnkEventSink, &control->dwEventCookie);
  if (container->pPropertyNotifySink) propertyNotify_.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
  GetMiscStatus(DVASPECT_CONTENT, &control->dwMiscStatus);
  GetViewStatus(&control->dwViewStatus);
  control->dwPointerActivationPolicy = 0;
  return S_OK;
}

STDMETHODIMP ControlBase::SetContentExtent(LPSIZEL size) noexcept { return SetExtent(DVASPECT_CONTENT, size); }
STDMETHODIMP ControlBase::GetContentExtent(LPSIZEL size) noexcept { return GetExtent(DVASPECT_CONTENT, size); }

}  // namespace ole
