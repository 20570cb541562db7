#include "proppage/preview_site.h"

#include "ole/com_object.h"

using Microsoft::WRL::ComPtr;

namespace cardel::proppage {
namespace {

class PreviewSite final : public ole::ComObject<IOleClientSite, IOleInPlaceSite> {
 public:
  PreviewSite(HWND parent, const RECT& rect) noexcept : parent_(parent), rect_(rect) {}

  STDMETHODIMP SaveObject() noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) noexcept override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() noexcept override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() noexcept override { return E_NOTIMPL; }

  STDMETHODIMP GetWindow(HWND* window) noexcept override {
    if (!window) return E_POINTER;
    *window = parent_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }

  STDMETHODIMP CanInPlaceActivate() noexcept override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() noexcept override { return S_OK; }
  STDMETHODIMP OnUIActivate() noexcept override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT pos, LPRECT clip,
                                LPOLEINPLACEFRAMEINFO info) noexcept override {
    if (!frame || !document || !pos || !clip || !info) return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    *pos = rect_;
    *clip = rect_;
    info->fMDIApp = FALSE;
    info->hwndFrame = parent_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() noexcept override { return S_OK; }
  STDMETHODIMP DiscardUndoState() noexcept override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() noexcept override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) noexcept override { return S_OK; }

 private:
  void* Find(REFIID riid) noexcept override {
    if (riid == IID_IOleClientSite) return static_cast<IOleClientSite*>(this);
    if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) return static_cast<IOleInPlaceSite*>(this);
    return nullptr;
  }
  HWND parent_;
  RECT rect_;
};

}  // namespace

PreviewHost::~PreviewHost() { Stop(); }

HRESULT PreviewHost::Start(HWND parent, const RECT& rect) noexcept {
  Stop();
  ComPtr<_ucCardel> box;
  HRESULT hr = create_(nullptr, IID__ucCardel, reinterpret_cast<void**>(box.GetAddressOf()));
  if (FAILED(hr)) return hr;
  ComPtr<IOleObject> object;
  ComPtr<IPersistStreamInit> persist;
  if (FAILED(hr = box.As(&object)) || FAILED(hr = box.As(&persist))) return hr;
  ComPtr<IOleClientSite> site = ole::MakeComObject<PreviewSite>(parent, rect);
  if (!site) return E_OUTOFMEMORY;
  // From here the control holds the site, so Stop must run on every way out.
  if (FAILED(hr = object->SetClientSite(site.Get()))) return hr;
  box_ = box;
  site_ = site;
  if (FAILED(hr = persist->InitNew())) {
    Stop();
    return hr;
  }
  RECT pos = rect;
  if (FAILED(hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, parent, &pos))) Stop();
  return hr;
}

void PreviewHost::Stop() noexcept {
  if (!box_) return;
  ComPtr<IOleInPlaceObject> inPlace;
  if (SUCCEEDED(box_.As(&inPlace))) inPlace->InPlaceDeactivate();
  ComPtr<IOleObject> object;
  if (SUCCEEDED(box_.As(&object))) {
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
  }
  box_.Reset();
  site_.Reset();
}

}  // namespace cardel::proppage
