#include "ole/connection_point.h"

#include <olectl.h>

#include <new>

#include "ole/enumerator.h"

using Microsoft::WRL::ComPtr;

namespace ole {

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID riid, void** object) noexcept {
  if (!object) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ConnectionPoint::AddRef() noexcept { return container_->AddRef(); }
STDMETHODIMP_(ULONG) ConnectionPoint::Release() noexcept { return container_->Release(); }

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) noexcept {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) noexcept {
  if (!container) return E_POINTER;
  *container = container_;
  container_->AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) noexcept {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  ComPtr<IUnknown> typed;
  if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(typed.GetAddressOf())))) {
    // Event sinks of dispatch interfaces often answer only IDispatch.
    if (iid_ == IID_IPropertyNotifySink || FAILED(sink->QueryInterface(IID_IDispatch, &typed)))
      return CONNECT_E_CANNOTCONNECT;
  }
  try {
    sinks_.push_back({nextCookie_, typed});
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  *cookie = nextCookie_++;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) noexcept {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
    if (it->cookie == cookie) {
      sinks_.erase(it);
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** connections) noexcept {
  if (!connections) return E_POINTER;
  *connections = nullptr;
  try {
    std::vector<CONNECTDATA> data;
    for (const auto& s : sinks_) data.push_back({s.sink.Get(), s.cookie});
    return CreateConnectionEnumerator(container_, std::move(data), connections);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CreateConnectionPointEnumerator(IUnknown* owner, std::span<IConnectionPoint* const> points,
                                        IEnumConnectionPoints** result) noexcept {
  if (!result) return E_POINTER;
  *result = nullptr;
  try {
    std::vector<ComPtr<IConnectionPoint>> items(points.begin(), points.end());
    return ComEnumerator<IEnumConnectionPoints, IConnectionPoint*>::Create(owner, std::move(items), result);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CreateConnectionEnumerator(IUnknown* owner, std::vector<CONNECTDATA> connections,
                                   IEnumConnections** result) noexcept {
  if (!result) return E_POINTER;
  *result = nullptr;
  try {
    std::vector<ConnectDataItem> items;
    for (const auto& c : connections) items.push_back(ConnectDataItem{ComPtr<IUnknown>(c.pUnk), c.dwCookie});
    return ComEnumerator<IEnumConnections, CONNECTDATA, ConnectDataItem>::Create(owner, std::move(items), result);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace ole
