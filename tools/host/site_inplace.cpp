// The site's in-place side: activation state, the window context, and the windowless services (drawing
// context, invalidation, capture, focus, default message handling) backed by the container window.
#include <new>

#include "container.h"
#include "frame.h"
#include "site.h"

namespace cardel::host {

void Site::SetRect(const RECT& rect) {
  if (container_) ::InvalidateRect(container_->Window(), &rect_, TRUE);
  rect_ = rect;
  if (container_) ::InvalidateRect(container_->Window(), &rect_, TRUE);
}

// IOleWindow

HRESULT STDMETHODCALLTYPE Site::GetWindow(HWND* window) noexcept {
  Note("GetWindow");
  if (!window) return E_POINTER;
  *window = container_ ? container_->Window() : nullptr;
  return container_ ? S_OK : E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE Site::ContextSensitiveHelp(BOOL) noexcept {
  Note("ContextSensitiveHelp");
  return E_NOTIMPL;
}

// IOleInPlaceSite

HRESULT STDMETHODCALLTYPE Site::CanInPlaceActivate() noexcept {
  Note("CanInPlaceActivate");
  return container_ ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE Site::OnInPlaceActivate() noexcept {
  Note("OnInPlaceActivate");
  in_place_active_ = true;
  windowless_active_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::OnUIActivate() noexcept {
  Note("OnUIActivate");
  ui_active_ = true;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                 RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) noexcept {
  Note("GetWindowContext");
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  *frame = nullptr;
  // The frame window is also the document window, which OLE expresses as no document window.
  *document = nullptr;
  if (!container_) return E_UNEXPECTED;
  *position = rect_;
  *clip = container_->ClientRect();
  info->fMDIApp = FALSE;
  info->hwndFrame = container_->Window();
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  *frame = Frame::Make(*this, container_->Window()).Detach();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::Scroll(SIZE) noexcept {
  Note("Scroll");
  // The container window does not scroll.
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Site::OnUIDeactivate(BOOL) noexcept {
  Note("OnUIDeactivate");
  ui_active_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::OnInPlaceDeactivate() noexcept {
  Note("OnInPlaceDeactivate");
  in_place_active_ = false;
  windowless_active_ = false;
  ui_active_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::DiscardUndoState() noexcept {
  Note("DiscardUndoState");
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::DeactivateAndUndo() noexcept {
  Note("DeactivateAndUndo");
  // The container keeps no undo state.
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Site::OnPosRectChange(const RECT* position) noexcept try {
  Note("OnPosRectChange");
  if (!position) return E_POINTER;
  if (!container_ || !control_) return E_UNEXPECTED;
  pos_rect_requests_.push_back(*position);
  // A form grants every request: the control gets exactly the rectangle it asked for.
  SetRect(*position);
  ComPtr<IOleInPlaceObject> in_place;
  if (const HRESULT hr =
          control_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(in_place.GetAddressOf()));
      FAILED(hr))
    return hr;
  const RECT clip = container_->ClientRect();
  return in_place->SetObjectRects(&rect_, &clip);
} catch (const std::bad_alloc&) {
  return E_OUTOFMEMORY;
}

// IOleInPlaceSiteEx

HRESULT STDMETHODCALLTYPE Site::OnInPlaceActivateEx(BOOL* no_redraw, DWORD flags) noexcept {
  Note("OnInPlaceActivateEx", static_cast<long>(flags));
  if (no_redraw) *no_redraw = FALSE;
  in_place_active_ = true;
  windowless_active_ = (flags & ACTIVATE_WINDOWLESS) != 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::OnInPlaceDeactivateEx(BOOL no_redraw) noexcept {
  Note("OnInPlaceDeactivateEx", no_redraw);
  if (container_ && !no_redraw) ::InvalidateRect(container_->Window(), &rect_, TRUE);
  in_place_active_ = false;
  windowless_active_ = false;
  ui_active_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::RequestUIActivate() noexcept {
  Note("RequestUIActivate");
  return S_OK;
}

// IOleInPlaceSiteWindowless

HRESULT STDMETHODCALLTYPE Site::CanWindowlessActivate() noexcept {
  Note("CanWindowlessActivate");
  return windowless_allowed_ ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE Site::GetCapture() noexcept {
  Note("GetCapture");
  return HasCapture() ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE Site::SetCapture(BOOL capture) noexcept {
  Note("SetCapture", capture);
  if (!container_) return E_UNEXPECTED;
  container_->SetCaptureOwner(*this, capture != FALSE);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::GetFocus() noexcept {
  Note("GetFocus");
  return HasFocus() ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE Site::SetFocus(BOOL focus) noexcept {
  Note("SetFocus", focus);
  if (!container_) return E_UNEXPECTED;
  container_->SetFocusOwner(*this, focus != FALSE);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::GetDC(const RECT* rect, DWORD flags, HDC* dc) noexcept {
  Note("GetDC", static_cast<long>(flags));
  if (!dc) return E_POINTER;
  *dc = nullptr;
  if (!container_) return E_UNEXPECTED;
  // One context at a time: a second request means the control lost track of the first.
  if (open_dc_) return E_FAIL;
  open_dc_.emplace(container_->Window());
  const HDC window_dc = open_dc_->get();
  if (!window_dc) {
    open_dc_.reset();
    return E_FAIL;
  }
  // Client coordinates, as the control's rectangle is given; drawing stays inside the requested area.
  const RECT area = rect ? *rect : rect_;
  IntersectClipRect(window_dc, area.left, area.top, area.right, area.bottom);
  if (flags & OLEDC_PAINTBKGND) container_->PaintBackground(window_dc, area);
  *dc = window_dc;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::ReleaseDC(HDC dc) noexcept {
  Note("ReleaseDC");
  if (!dc || !open_dc_ || dc != open_dc_->get()) return E_INVALIDARG;
  open_dc_.reset();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::InvalidateRect(const RECT* rect, BOOL erase) noexcept {
  Note("InvalidateRect");
  if (!container_) return E_UNEXPECTED;
  ::InvalidateRect(container_->Window(), rect ? rect : &rect_, erase);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::InvalidateRgn(HRGN region, BOOL erase) noexcept {
  Note("InvalidateRgn");
  if (!container_) return E_UNEXPECTED;
  if (region)
    ::InvalidateRgn(container_->Window(), region, erase);
  else
    ::InvalidateRect(container_->Window(), &rect_, erase);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::ScrollRect(INT, INT, const RECT* scroll, const RECT* clip) noexcept {
  Note("ScrollRect");
  if (!scroll) return E_POINTER;
  if (!container_) return E_UNEXPECTED;
  // Repainting the area gives the scrolled picture without copying pixels.
  RECT area = *scroll;
  if (clip && !IntersectRect(&area, scroll, clip)) return S_OK;
  ::InvalidateRect(container_->Window(), &area, FALSE);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::AdjustRect(RECT* rect) noexcept {
  Note("AdjustRect");
  // Nothing opaque is ever placed above a control here, so the rectangle stays whole.
  return rect ? S_OK : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE Site::OnDefWindowMessage(UINT message, WPARAM wparam, LPARAM lparam,
                                                   LRESULT* result) noexcept {
  Note("OnDefWindowMessage", static_cast<long>(message), true);
  if (!result) return E_POINTER;
  if (!container_) return E_UNEXPECTED;
  *result = DefWindowProcW(container_->Window(), message, wparam, lparam);
  return S_OK;
}

}  // namespace cardel::host
