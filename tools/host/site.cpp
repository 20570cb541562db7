// The site's identity, its call log, the client site, the control site, the ambient dispatch and the
// advise sink. The in-place side is in site_inplace.cpp.
#include "site.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "common/win_handles.h"
#include "container.h"

namespace cardel::host {

ComPtr<Site> Site::Make(Container& container, const RECT& rect, bool windowless, std::wstring_view display_name) {
  return MakeCom<Site>(container, rect, windowless, display_name);
}

Site::Site(Container& container, const RECT& rect, bool windowless, std::wstring_view display_name)
    : container_(&container), rect_(rect), windowless_allowed_(windowless), ambients_(display_name) {
  ambients_.SetNotifier([this](DISPID id) { return NotifyAmbientChange(id); });
}

void* Site::Find(REFIID riid) noexcept {
  if (riid == IID_IOleClientSite) return static_cast<IOleClientSite*>(this);
  if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) return static_cast<IOleInPlaceSite*>(this);
  if (windowless_allowed_ && riid == IID_IOleInPlaceSiteEx) return static_cast<IOleInPlaceSiteEx*>(this);
  if (windowless_allowed_ && riid == IID_IOleInPlaceSiteWindowless)
    return static_cast<IOleInPlaceSiteWindowless*>(this);
  if (riid == IID_IOleControlSite) return static_cast<IOleControlSite*>(this);
  if (riid == IID_IDispatch) return static_cast<IDispatch*>(this);
  if (riid == IID_IAdviseSink) return static_cast<IAdviseSink*>(this);
  return nullptr;
}

size_t Site::CountOf(std::string_view method) const {
  size_t count = 0;
  for (const std::string& entry : calls_) {
    if (entry.starts_with(method) && (entry.size() == method.size() || entry[method.size()] == '(')) ++count;
  }
  return count;
}

void Site::Log(std::string entry) { calls_.push_back(std::move(entry)); }

void Site::Note(const char* method) noexcept try { calls_.emplace_back(method); } catch (const std::bad_alloc&) {
}

void Site::Note(const char* method, long argument, bool hex) noexcept try {
  char text[64];
  std::snprintf(text, sizeof text, hex ? "%s(0x%lX)" : "%s(%ld)", method, argument);
  calls_.emplace_back(text);
} catch (const std::bad_alloc&) {
}

bool Site::HasCapture() const noexcept { return container_ && container_->CaptureOwner() == this; }

bool Site::HasFocus() const noexcept { return container_ && container_->FocusOwner() == this; }

void Site::Attach(IUnknown* control) noexcept { control_ = control; }

void Site::Detach() noexcept {
  control_ = nullptr;
  container_ = nullptr;
}

HRESULT Site::NotifyAmbientChange(DISPID id) const {
  if (!control_) return E_UNEXPECTED;
  ComPtr<IOleControl> control;
  if (const HRESULT hr = control_->QueryInterface(IID_IOleControl, reinterpret_cast<void**>(control.GetAddressOf()));
      FAILED(hr))
    return hr;
  return control->OnAmbientPropertyChange(id);
}

// IOleClientSite

HRESULT STDMETHODCALLTYPE Site::SaveObject() noexcept {
  Note("SaveObject");
  // The form is saved by the test through HostedControl::Save, never at the control's request.
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Site::GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept {
  Note("GetMoniker");
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Site::GetContainer(IOleContainer** container) noexcept {
  Note("GetContainer");
  if (!container) return E_POINTER;
  *container = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE Site::ShowObject() noexcept {
  Note("ShowObject");
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::OnShowWindow(BOOL show) noexcept {
  Note("OnShowWindow", show);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::RequestNewObjectLayout() noexcept {
  Note("RequestNewObjectLayout");
  return E_NOTIMPL;
}

// IOleControlSite

HRESULT STDMETHODCALLTYPE Site::OnControlInfoChanged() noexcept {
  Note("OnControlInfoChanged");
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::LockInPlaceActive(BOOL lock) noexcept {
  Note("LockInPlaceActive", lock);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::GetExtendedControl(IDispatch** extender) noexcept {
  Note("GetExtendedControl");
  if (!extender) return E_POINTER;
  *extender = nullptr;
  // This host wraps controls in no extender object.
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Site::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) noexcept {
  Note("TransformCoords", static_cast<long>(flags), true);
  if (!himetric || !container) return E_POINTER;
  // Container units are pixels of the screen.
  const WindowDc screen(nullptr);
  const double dpi_x = GetDeviceCaps(screen.get(), LOGPIXELSX);
  const double dpi_y = GetDeviceCaps(screen.get(), LOGPIXELSY);
  if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
    container->x = static_cast<float>(himetric->x * dpi_x / 2540.0);
    container->y = static_cast<float>(himetric->y * dpi_y / 2540.0);
    return S_OK;
  }
  if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
    himetric->x = std::lround(container->x * 2540.0 / dpi_x);
    himetric->y = std::lround(container->y * 2540.0 / dpi_y);
    return S_OK;
  }
  return E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE Site::TranslateAccelerator(MSG*, DWORD) noexcept {
  Note("TranslateAccelerator");
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE Site::OnFocus(BOOL got_focus) noexcept {
  Note("OnFocus", got_focus);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::ShowPropertyFrame() noexcept {
  Note("ShowPropertyFrame");
  // Unless told otherwise, tests open property frames themselves.
  return shows_property_frame_ ? S_OK : E_NOTIMPL;
}

// IDispatch

HRESULT STDMETHODCALLTYPE Site::GetTypeInfoCount(UINT* count) noexcept {
  Note("GetTypeInfoCount");
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  Note("GetTypeInfo");
  if (info) *info = nullptr;
  // The ambient dispatch carries no type information.
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Site::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept {
  Note("GetIDsOfNames");
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  HRESULT result = S_OK;
  for (UINT i = 0; i < count; ++i) {
    if (FAILED(Ambients::IdOfName(names[i], &ids[i]))) result = DISP_E_UNKNOWNNAME;
  }
  return result;
}

HRESULT STDMETHODCALLTYPE Site::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                       EXCEPINFO*, UINT*) noexcept {
  Note("Invoke", id);
  return ambients_.Invoke(id, riid, flags, params, result);
}

// IAdviseSink

void STDMETHODCALLTYPE Site::OnDataChange(FORMATETC*, STGMEDIUM*) noexcept { Note("OnDataChange"); }

void STDMETHODCALLTYPE Site::OnViewChange(DWORD aspect, LONG) noexcept {
  Note("OnViewChange", static_cast<long>(aspect));
}

void STDMETHODCALLTYPE Site::OnRename(IMoniker*) noexcept { Note("OnRename"); }

void STDMETHODCALLTYPE Site::OnSave() noexcept { Note("OnSave"); }

void STDMETHODCALLTYPE Site::OnClose() noexcept { Note("OnClose"); }

}  // namespace cardel::host
