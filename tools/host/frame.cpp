#include "frame.h"

#include <new>
#include <string>

#include "site.h"

namespace cardel::host {

ComPtr<Frame> Frame::Make(Site& site, HWND window) { return MakeCom<Frame>(site, window); }

Frame::Frame(Site& site, HWND window) : site_(&site), window_(window) {}

Frame::~Frame() = default;

void* Frame::Find(REFIID riid) noexcept {
  if (riid == IID_IOleWindow || riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
    return static_cast<IOleInPlaceFrame*>(this);
  return nullptr;
}

void Frame::Note(const char* method) noexcept try {
  site_->Log(std::string("Frame::") + method);
} catch (const std::bad_alloc&) {
}

HRESULT STDMETHODCALLTYPE Frame::GetWindow(HWND* window) noexcept {
  Note("GetWindow");
  if (!window) return E_POINTER;
  *window = window_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Frame::ContextSensitiveHelp(BOOL) noexcept {
  Note("ContextSensitiveHelp");
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Frame::GetBorder(RECT* border) noexcept {
  Note("GetBorder");
  if (border) SetRectEmpty(border);
  return INPLACE_E_NOTOOLSPACE;
}

HRESULT STDMETHODCALLTYPE Frame::RequestBorderSpace(const BORDERWIDTHS*) noexcept {
  Note("RequestBorderSpace");
  return INPLACE_E_NOTOOLSPACE;
}

HRESULT STDMETHODCALLTYPE Frame::SetBorderSpace(const BORDERWIDTHS* widths) noexcept {
  Note("SetBorderSpace");
  // Giving no space (a null request) always succeeds; there is none to give otherwise.
  return widths ? INPLACE_E_NOTOOLSPACE : S_OK;
}

HRESULT STDMETHODCALLTYPE Frame::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) noexcept {
  Note("SetActiveObject");
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Frame::InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) noexcept {
  Note("InsertMenus");
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Frame::SetMenu(HMENU, HOLEMENU, HWND) noexcept {
  Note("SetMenu");
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Frame::RemoveMenus(HMENU) noexcept {
  Note("RemoveMenus");
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Frame::SetStatusText(LPCOLESTR) noexcept {
  Note("SetStatusText");
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Frame::EnableModeless(BOOL) noexcept {
  Note("EnableModeless");
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Frame::TranslateAccelerator(MSG*, WORD) noexcept {
  Note("TranslateAccelerator");
  return S_FALSE;
}

}  // namespace cardel::host
