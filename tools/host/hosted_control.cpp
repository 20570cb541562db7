#include "hosted_control.h"

#include "common/automation_handles.h"
#include "common/win_handles.h"
#include "container.h"
#include "host_error.h"
#include "library.h"
#include "property_bag.h"

namespace cardel::host {

HRESULT SetCaption(_ucCardel* box, std::wstring_view text) {
  const UniqueBstr owned(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
  if (!owned) return E_OUTOFMEMORY;
  BSTR caption = owned.get();
  return box->put_Caption(&caption);
}

namespace {

SIZEL HimetricSize(const RECT& rect) {
  const WindowDc screen(nullptr);
  const int dpi_x = GetDeviceCaps(screen.get(), LOGPIXELSX);
  const int dpi_y = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return {MulDiv(rect.right - rect.left, 2540, dpi_x), MulDiv(rect.bottom - rect.top, 2540, dpi_y)};
}

}  // namespace

HostedControl::HostedControl(Container& container, const RECT& rect, std::wstring_view display_name, bool windowless)
    : container_(container), site_(Site::Make(container, rect, windowless, display_name)) {}

HostedControl::~HostedControl() { Close(); }

void HostedControl::Open(const Library& library, const ControlOptions& options) {
  ThrowIfFailed(library.CreateControl(nullptr, IID_IUnknown, reinterpret_cast<void**>(unknown_.GetAddressOf())),
                "creating ucCardel");
  ThrowIfFailed(unknown_.As(&object_), "QueryInterface IOleObject");
  site_->Attach(unknown_.Get());

  DWORD misc = 0;
  object_->GetMiscStatus(DVASPECT_CONTENT, &misc);
  const bool site_first = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (site_first) {
    ThrowIfFailed(object_->SetClientSite(site_.Get()), "IOleObject::SetClientSite");
    client_site_set_ = true;
  }
  load_result_ = Initialise(options);
  if (!site_first) {
    ThrowIfFailed(object_->SetClientSite(site_.Get()), "IOleObject::SetClientSite");
    client_site_set_ = true;
  }
  if (FAILED(load_result_)) return;

  SIZEL extent = HimetricSize(Rect());
  ThrowIfFailed(object_->SetExtent(DVASPECT_CONTENT, &extent), "IOleObject::SetExtent");
  if (ComPtr<IViewObject> view = Query<IViewObject>();
      view && SUCCEEDED(view->SetAdvise(DVASPECT_CONTENT, 0, site_.Get())))
    view_advised_ = true;
  if (DWORD cookie = 0; SUCCEEDED(object_->Advise(site_.Get(), &cookie))) ole_advise_cookie_ = cookie;

  if (!options.activate) return;
  RECT position = Rect();
  ThrowIfFailed(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.Get(), 0, container_.Window(), &position),
                "IOleObject::DoVerb(OLEIVERB_INPLACEACTIVATE)");
  ::InvalidateRect(container_.Window(), &position, TRUE);
}

HRESULT HostedControl::Initialise(const ControlOptions& options) {
  if (options.load_from) {
    ComPtr<IPersistPropertyBag> persist = Query<IPersistPropertyBag>();
    return persist ? persist->Load(options.load_from, nullptr) : E_NOINTERFACE;
  }
  ComPtr<IPersistPropertyBag> bag = Query<IPersistPropertyBag>();
  ComPtr<IPersistStreamInit> stream = Query<IPersistStreamInit>();
  if (bag && (options.init_through_bag || !stream)) return bag->InitNew();
  if (stream) return stream->InitNew();
  return E_NOINTERFACE;
}

void HostedControl::Close() noexcept {
  if (!object_) return;
  if (site_->InPlaceActive()) {
    if (ComPtr<IOleInPlaceObject> in_place = Query<IOleInPlaceObject>()) in_place->InPlaceDeactivate();
  }
  if (view_advised_) {
    if (ComPtr<IViewObject> view = Query<IViewObject>()) view->SetAdvise(DVASPECT_CONTENT, 0, nullptr);
  }
  if (ole_advise_cookie_) object_->Unadvise(ole_advise_cookie_);
  object_->Close(OLECLOSE_NOSAVE);
  if (client_site_set_) object_->SetClientSite(nullptr);
  const RECT area = Rect();
  ::InvalidateRect(container_.Window(), &area, TRUE);
  site_->Detach();
  object_.Reset();
  unknown_.Reset();
}

void HostedControl::Drop() noexcept {
  site_->Detach();
  object_.Reset();
  unknown_.Reset();
}

HWND HostedControl::OwnWindow() const {
  if (!site_->InPlaceActive() || site_->Windowless()) return nullptr;
  HWND window = nullptr;
  if (ComPtr<IOleInPlaceObject> in_place = Query<IOleInPlaceObject>()) in_place->GetWindow(&window);
  return window;
}

HRESULT HostedControl::Move(const RECT& rect) {
  site_->SetRect(rect);
  SIZEL extent = HimetricSize(rect);
  if (const HRESULT hr = object_->SetExtent(DVASPECT_CONTENT, &extent); FAILED(hr)) return hr;
  ComPtr<IOleInPlaceObject> in_place = Query<IOleInPlaceObject>();
  if (!in_place || !site_->InPlaceActive()) return S_OK;
  const RECT clip = container_.ClientRect();
  return in_place->SetObjectRects(&rect, &clip);
}

HRESULT HostedControl::UIActivate() {
  RECT position = Rect();
  return object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site_.Get(), 0, container_.Window(), &position);
}

HRESULT HostedControl::Save(PropertyBag& bag, bool clear_dirty, bool save_all) const {
  ComPtr<IPersistPropertyBag> persist = Query<IPersistPropertyBag>();
  return persist ? persist->Save(&bag, clear_dirty, save_all) : E_NOINTERFACE;
}

void HostedControl::Draw(HDC dc) {
  ComPtr<IViewObject> view = Query<IViewObject>();
  if (!view) {
    last_draw_result_ = E_NOINTERFACE;
    return;
  }
  const RECT& rect = Rect();
  const RECTL bounds{rect.left, rect.top, rect.right, rect.bottom};
  last_draw_result_ = view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
}

bool HostedControl::Hit(POINT point) const {
  const RECT& rect = Rect();
  if (!PtInRect(&rect, point)) return false;
  ComPtr<IViewObjectEx> view = Query<IViewObjectEx>();
  if (!view) return true;
  DWORD result = HITRESULT_OUTSIDE;
  return SUCCEEDED(view->QueryHitPoint(DVASPECT_CONTENT, &rect, point, 0, &result)) && result == HITRESULT_HIT;
}

LRESULT HostedControl::Forward(UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  ComPtr<IOleInPlaceObjectWindowless> windowless = Query<IOleInPlaceObjectWindowless>();
  if (windowless && windowless->OnWindowMessage(message, wparam, lparam, &result) == S_OK) return result;
  return DefWindowProcW(container_.Window(), message, wparam, lparam);
}

}  // namespace cardel::host
