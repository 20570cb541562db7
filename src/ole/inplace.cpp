// In-place activation: windowless through IOleInPlaceSiteWindowless where the container allows it,
// otherwise in a child window of the control's own.
#include "ole/control_base.h"
#include "ole/window_clip.h"

using Microsoft::WRL::ComPtr;

namespace ole {
namespace {

constexpr wchar_t kWindowClass[] = L"VelmarCardelControl";

bool IsMouseMessage(UINT msg) {
  return (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || msg == WM_SETCURSOR;
}

}  // namespace

LRESULT CALLBACK ControlWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* control = reinterpret_cast<ControlBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!control || msg == WM_NCDESTROY) {
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return DefWindowProcW(window, msg, wParam, lParam);
  }
  // Painting and input raise events whose handlers may release or close the control.
  const ComPtr<IUnknown> alive(control->outer_);
  return control->HandleOwnWindowMessage(window, msg, wParam, lParam);
}

HRESULT ControlBase::Activate(LONG verb, LPCRECT posRect) noexcept {
  if (!clientSite_) return E_UNEXPECTED;
  if (!inPlaceActive_) {
    ComPtr<IOleInPlaceSite> site;
    if (FAILED(clientSite_.As(&site))) return OLE_E_NOT_INPLACEACTIVE;
    if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
    clientSite_.As(&inPlaceSiteEx_);
    clientSite_.As(&windowlessSite_);
    windowless_ = windowlessSite_ && windowlessSite_->CanWindowlessActivate() == S_OK;
    if (!windowless_) windowlessSite_.Reset();

    HRESULT hr;
    if (inPlaceSiteEx_) {
      BOOL noRedraw = FALSE;
      hr = inPlaceSiteEx_->OnInPlaceActivateEx(&noRedraw, windowless_ ? ACTIVATE_WINDOWLESS : 0);
    } else {
      hr = site->OnInPlaceActivate();
    }
    if (FAILED(hr)) {
      inPlaceSiteEx_.Reset();
      windowlessSite_.Reset();
      return hr;
    }
    inPlaceSite_ = site;
    inPlaceActive_ = true;

    OLEINPLACEFRAMEINFO frameInfo{sizeof(frameInfo)};
    RECT pos{}, clip{};
    frame_.Reset();
    uiWindow_.Reset();
    site->GetWindowContext(&frame_, &uiWindow_, &pos, &clip, &frameInfo);
    site->GetWindow(&containerWindow_);
    posRect_ = posRect ? *posRect : pos;

    if (!windowless_) {
      hr = CreateOwnWindow();
      if (FAILED(hr)) {
        InPlaceDeactivate();
        return hr;
      }
      // A site that gave no clip rectangle leaves all of the control visible.
      ClipOwnWindow(IsRectEmpty(&clip) ? posRect_ : clip);
    }
    CheckSizeChange();
    OnShow();
  }
  if (ownWindow_) ShowWindow(ownWindow_.get(), SW_SHOWNA);
  if (verb == OLEIVERB_UIACTIVATE) return UIActivate();
  return S_OK;
}

HRESULT ControlBase::UIActivate() noexcept {
  if (uiActive_) return S_OK;
  uiActive_ = true;
  if (inPlaceSiteEx_ || inPlaceSite_) inPlaceSite_->OnUIActivate();
  if (windowlessSite_)
    windowlessSite_->SetFocus(TRUE);
  else if (ownWindow_)
    SetFocus(ownWindow_.get());
  IOleInPlaceActiveObject* active = this;
  if (frame_) frame_->SetActiveObject(active, info_.userTypeName);
  if (uiWindow_) uiWindow_->SetActiveObject(active, info_.userTypeName);
  if (frame_) frame_->SetBorderSpace(nullptr);
  if (uiWindow_) uiWindow_->SetBorderSpace(nullptr);
  return S_OK;
}

HRESULT ControlBase::CreateOwnWindow() noexcept {
  WNDCLASSEXW wc{sizeof(wc)};
  if (!GetClassInfoExW(ModuleInstance(), kWindowClass, &wc)) {
    wc = WNDCLASSEXW{sizeof(wc)};
    // A transparent box laid out from its size: any resize repaints all of it.
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ControlWindowProc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&wc)) return HRESULT_FROM_WIN32(GetLastError());
  }
  HWND window = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_CLIPSIBLINGS, posRect_.left, posRect_.top,
                                posRect_.right - posRect_.left, posRect_.bottom - posRect_.top, containerWindow_,
                                nullptr, ModuleInstance(), this);
  if (!window) return HRESULT_FROM_WIN32(GetLastError());
  ownWindow_.reset(window);
  return S_OK;
}

// The window handle comes from the message: during creation the member does not hold it yet.
LRESULT ControlBase::HandleOwnWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      // The control has no background of its own: let the parent paint what lies beneath it.
      HWND parent = GetParent(window);
      POINT origin{0, 0};
      MapWindowPoints(window, parent, &origin, 1);
      POINT previous;
      SetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
      SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
      SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
      SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
      OnPaint(dc, ClientSize());
      EndPaint(window, &ps);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
    case WM_GETOBJECT:
      // lParam carries a 32-bit object id, sign-extended or not depending on the sender.
      if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT))
        return LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(&accessible_));
      break;
    default:
      break;
  }
  LRESULT result = 0;
  if (OnMessage(msg, wParam, lParam, &result) == S_OK) return result;
  return DefWindowProcW(window, msg, wParam, lParam);
}

STDMETHODIMP ControlBase::GetWindow(HWND* window) noexcept {
  if (!window) return E_POINTER;
  *window = ownWindow_.get();
  return *window ? S_OK : E_FAIL;
}

STDMETHODIMP ControlBase::ContextSensitiveHelp(BOOL) noexcept { return E_NOTIMPL; }

STDMETHODIMP ControlBase::InPlaceDeactivate() noexcept {
  if (!inPlaceActive_) return S_OK;
  ++deactivations_;
  UIDeactivate();
  inPlaceActive_ = false;
  ownWindow_.reset();
  OnHide();
  ComPtr<IOleInPlaceSite> site = inPlaceSite_;
  ComPtr<IOleInPlaceSiteEx> siteEx = inPlaceSiteEx_;
  ReleaseInPlaceSite();
  if (siteEx)
    siteEx->OnInPlaceDeactivateEx(TRUE);
  else if (site)
    site->OnInPlaceDeactivate();
  return S_OK;
}

void ControlBase::ReleaseInPlaceSite() noexcept {
  frame_.Reset();
  uiWindow_.Reset();
  windowlessSite_.Reset();
  inPlaceSiteEx_.Reset();
  inPlaceSite_.Reset();
  windowless_ = false;
  containerWindow_ = nullptr;
}

STDMETHODIMP ControlBase::UIDeactivate() noexcept {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (uiWindow_) uiWindow_->SetActiveObject(nullptr, nullptr);
  if (windowlessSite_) windowlessSite_->SetFocus(FALSE);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

STDMETHODIMP ControlBase::SetObjectRects(LPCRECT pos, LPCRECT clip) noexcept {
  if (!pos) return E_POINTER;
  if (pos->right < pos->left || pos->bottom < pos->top) return E_INVALIDARG;
  if (clip && (clip->right < clip->left || clip->bottom < clip->top)) return E_INVALIDARG;
  const bool moved = !EqualRect(&posRect_, pos);
  posRect_ = *pos;
  if (ownWindow_) {
    // The window shows what lies beneath it, which is different at the new place: no old bits are kept.
    SetWindowPos(ownWindow_.get(), nullptr, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    ClipOwnWindow(clip ? *clip : *pos);
  }
  if (moved) NotifyAccessible(EVENT_OBJECT_LOCATIONCHANGE);
  CheckSizeChange();
  return S_OK;
}

void ControlBase::ClipOwnWindow(const RECT& clip) noexcept {
  const std::optional<RECT> visible = VisiblePartOfWindow(posRect_, clip);
  if (!visible) {
    SetWindowRgn(ownWindow_.get(), nullptr, TRUE);
    return;
  }
  cardel::UniqueRegion region(CreateRectRgnIndirect(&*visible));
  // A region the window accepts is the window's to delete.
  if (region && SetWindowRgn(ownWindow_.get(), region.get(), TRUE)) region.release();
}

void ControlBase::CheckSizeChange() noexcept {
  SIZE size = ClientSize();
  if (size.cx == lastSize_.cx && size.cy == lastSize_.cy) return;
  lastSize_ = size;
  OnResize();
}

STDMETHODIMP ControlBase::ReactivateAndUndo() noexcept { return INPLACE_E_NOTUNDOABLE; }

STDMETHODIMP ControlBase::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) noexcept {
  if (!result) return E_POINTER;
  *result = 0;
  if (!windowless_) return E_UNEXPECTED;
  // The container speaks in its own client coordinates; the control in its own.
  if (IsMouseMessage(msg) && msg != WM_SETCURSOR && msg != WM_MOUSEWHEEL) {
    POINTS p = MAKEPOINTS(lParam);
    lParam = MAKELPARAM(p.x - posRect_.left, p.y - posRect_.top);
  }
  const ComPtr<IUnknown> alive(outer_);
  return OnMessage(msg, wParam, lParam, result);
}

STDMETHODIMP ControlBase::GetDropTarget(IDropTarget** target) noexcept {
  if (!target) return E_POINTER;
  *target = nullptr;
  return OnGetDropTarget(target);
}

STDMETHODIMP ControlBase::TranslateAccelerator(LPMSG) noexcept { return S_FALSE; }
STDMETHODIMP ControlBase::OnFrameWindowActivate(BOOL) noexcept { return S_OK; }
STDMETHODIMP ControlBase::OnDocWindowActivate(BOOL) noexcept { return S_OK; }
STDMETHODIMP ControlBase::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) noexcept { return S_OK; }
STDMETHODIMP ControlBase::EnableModeless(BOOL) noexcept { return S_OK; }

HRESULT ControlBase::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) noexcept { return S_FALSE; }
HRESULT ControlBase::OnGetDropTarget(IDropTarget**) noexcept { return E_NOTIMPL; }

}  // namespace ole
