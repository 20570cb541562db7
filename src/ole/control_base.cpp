#include "ole/control_base.h"

#include <new>

#include "common/ole_units.h"
#include "ole/dispatch.h"

using Microsoft::WRL::ComPtr;

namespace ole {

ControlBase::ControlBase(const ControlClassInfo& info, IUnknown* outer) noexcept
    : info_(info),
      inner_(this),
      outer_(outer ? outer : &inner_),
      events_(this, *info.eventsIid),
      propertyNotify_(this, IID_IPropertyNotifySink) {
  extent_ = cardel::ScreenPixelsToHimetric(info.initialSizePixels);
  lastSize_ = info.initialSizePixels;
}

ControlBase::~ControlBase() {
  // Messages the window receives while it is destroyed must not reach a control that is half gone.
  if (ownWindow_) SetWindowLongPtrW(ownWindow_.get(), GWLP_USERDATA, 0);
  ownWindow_.reset();
  events_.DisconnectAll();
  propertyNotify_.DisconnectAll();
}

STDMETHODIMP ControlBase::Inner::QueryInterface(REFIID riid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = riid == IID_IUnknown ? static_cast<IUnknown*>(this) : owner->FindInterface(riid);
  if (!*object) return E_NOINTERFACE;
  static_cast<IUnknown*>(*object)->AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) ControlBase::Inner::AddRef() noexcept { return InterlockedIncrement(&refs); }

STDMETHODIMP_(ULONG) ControlBase::Inner::Release() noexcept {
  ULONG n = InterlockedDecrement(&refs);
  if (n == 0) {
    // Calls made while the object tears down must not bring the count back to zero.
    refs = 1 << 24;
    delete owner;
  }
  return n;
}

void* ControlBase::FindInterface(REFIID riid) noexcept {
  using Cast = void* (*)(ControlBase*);
  static const struct {
    const IID* iid;
    Cast cast;
  } table[] = {
      {&IID_IOleObject, [](ControlBase* c) -> void* { return static_cast<IOleObject*>(c); }},
      {&IID_IOleControl, [](ControlBase* c) -> void* { return static_cast<IOleControl*>(c); }},
      {&IID_IOleWindow, [](ControlBase* c) -> void* { return static_cast<IOleInPlaceObjectWindowless*>(c); }},
      {&IID_IOleInPlaceObject, [](ControlBase* c) -> void* { return static_cast<IOleInPlaceObjectWindowless*>(c); }},
      {&IID_IOleInPlaceObjectWindowless,
       [](ControlBase* c) -> void* { return static_cast<IOleInPlaceObjectWindowless*>(c); }},
      {&IID_IOleInPlaceActiveObject, [](ControlBase* c) -> void* { return static_cast<IOleInPlaceActiveObject*>(c); }},
      {&IID_IViewObject, [](ControlBase* c) -> void* { return static_cast<IViewObjectEx*>(c); }},
      {&IID_IViewObject2, [](ControlBase* c) -> void* { return static_cast<IViewObjectEx*>(c); }},
      {&IID_IViewObjectEx, [](ControlBase* c) -> void* { return static_cast<IViewObjectEx*>(c); }},
      {&IID_IPersist, [](ControlBase* c) -> void* { return static_cast<IPersistStreamInit*>(c); }},
      {&IID_IPersistStreamInit, [](ControlBase* c) -> void* { return static_cast<IPersistStreamInit*>(c); }},
      {&IID_IPersistPropertyBag, [](ControlBase* c) -> void* { return static_cast<IPersistPropertyBag*>(c); }},
      // IPersistStreamInit is IPersistStream with InitNew added at the end of the same table.
      {&IID_IPersistStream, [](ControlBase* c) -> void* { return static_cast<IPersistStreamInit*>(c); }},
      {&IID_IPersistStorage, [](ControlBase* c) -> void* { return static_cast<IPersistStorage*>(c); }},
      {&IID_IDataObject, [](ControlBase* c) -> void* { return static_cast<IDataObject*>(c); }},
      {&IID_IConnectionPointContainer,
       [](ControlBase* c) -> void* { return static_cast<IConnectionPointContainer*>(c); }},
      {&IID_IProvideClassInfo, [](ControlBase* c) -> void* { return static_cast<IProvideClassInfo2*>(c); }},
      {&IID_IProvideClassInfo2, [](ControlBase* c) -> void* { return static_cast<IProvideClassInfo2*>(c); }},
      {&IID_ISpecifyPropertyPages, [](ControlBase* c) -> void* { return static_cast<ISpecifyPropertyPages*>(c); }},
      {&IID_IQuickActivate, [](ControlBase* c) -> void* { return static_cast<IQuickActivate*>(c); }},
      {&IID_ISupportErrorInfo, [](ControlBase* c) -> void* { return static_cast<ISupportErrorInfo*>(c); }},
      {&IID_IAccessible, [](ControlBase* c) -> void* { return static_cast<IAccessible*>(&c->accessible_); }},
  };
  for (const auto& entry : table)
    if (*entry.iid == riid) return entry.cast(this);
  return QueryControlInterface(riid);
}

// IConnectionPointContainer

STDMETHODIMP ControlBase::EnumConnectionPoints(IEnumConnectionPoints** points) noexcept {
  IConnectionPoint* const all[] = {&events_, &propertyNotify_};
  return CreateConnectionPointEnumerator(outer_, all, points);
}

STDMETHODIMP ControlBase::FindConnectionPoint(REFIID riid, IConnectionPoint** point) noexcept {
  if (!point) return E_POINTER;
  *point = nullptr;
  ConnectionPoint* found = riid == events_.Iid()            ? &events_
                           : riid == propertyNotify_.Iid() ? &propertyNotify_
                                                            : nullptr;
  if (!found) return CONNECT_E_NOCONNECTION;
  *point = found;
  found->AddRef();
  return S_OK;
}

// IProvideClassInfo2

STDMETHODIMP ControlBase::GetClassInfo(ITypeInfo** info) noexcept { return LoadModuleTypeInfo(*info_.clsid, info); }

STDMETHODIMP ControlBase::GetGUID(DWORD kind, GUID* guid) noexcept {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = *info_.eventsIid;
  return S_OK;
}

// ISpecifyPropertyPages

STDMETHODIMP ControlBase::GetPages(CAUUID* pages) noexcept {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * info_.propertyPages.size()));
  if (!pages->pElems) return E_OUTOFMEMORY;
  for (const CLSID& page : info_.propertyPages) pages->pElems[pages->cElems++] = page;
  return S_OK;
}

// ISupportErrorInfo

STDMETHODIMP ControlBase::InterfaceSupportsErrorInfo(REFIID riid) noexcept {
  return IsErrorInfoInterface(riid) ? S_OK : S_FALSE;
}

}  // namespace ole
