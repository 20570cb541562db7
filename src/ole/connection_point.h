#pragma once
// Connection points for an object's outgoing interfaces. The point lives inside the object that
// owns it and shares its reference count, so sinks keep the whole object alive.
#include <ocidl.h>
#include <wrl/client.h>

#include <new>
#include <span>
#include <vector>

namespace ole {

class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer* container, REFIID iid) noexcept : container_(container), iid_(iid) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override;
  STDMETHODIMP_(ULONG) Release() noexcept override;

  STDMETHODIMP GetConnectionInterface(IID* iid) noexcept override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) noexcept override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) noexcept override;
  STDMETHODIMP Unadvise(DWORD cookie) noexcept override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) noexcept override;

  REFIID Iid() const noexcept { return iid_; }
  bool HasSinks() const noexcept { return !sinks_.empty(); }
  void DisconnectAll() noexcept { sinks_.clear(); }

  // Calls `visit`, which must not throw, on each sink, as the interface it was advised with. A sink
  // may unadvise (itself or others) from inside the call. E_OUTOFMEMORY, and no sink visited, when
  // there is no memory for the snapshot that makes that safe.
  template <class Visit>
  HRESULT ForEachSink(Visit&& visit) const noexcept {
    std::vector<Microsoft::WRL::ComPtr<IUnknown>> snapshot;
    try {
      snapshot.reserve(sinks_.size());
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    for (const auto& s : sinks_) snapshot.push_back(s.sink);
    for (const auto& s : snapshot) visit(s.Get());
    return S_OK;
  }

 private:
  struct Sink {
    DWORD cookie;
    Microsoft::WRL::ComPtr<IUnknown> sink;
  };
  IConnectionPointContainer* container_;
  IID iid_;
  std::vector<Sink> sinks_;
  DWORD nextCookie_ = 1;
};

// Enumerators over a snapshot, holding a reference on the object they came from.
HRESULT CreateConnectionPointEnumerator(IUnknown* owner, std::span<IConnectionPoint* const> points,
                                        IEnumConnectionPoints** result) noexcept;
HRESULT CreateConnectionEnumerator(IUnknown* owner, std::vector<CONNECTDATA> connections,
                                   IEnumConnections** result) noexcept;

}  // namespace ole
