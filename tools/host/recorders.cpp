#include "recorders.h"

#include <algorithm>
#include <new>

#include "VelmarCardel_h.h"

namespace cardel::host {

HRESULT Connection::Connect(IUnknown* source, REFIID iid, IUnknown* sink) {
  Disconnect();
  if (!source || !sink) return E_POINTER;
  ComPtr<IConnectionPointContainer> points;
  HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(points.GetAddressOf()));
  if (FAILED(hr)) return hr;
  ComPtr<IConnectionPoint> point;
  if (hr = points->FindConnectionPoint(iid, point.GetAddressOf()); FAILED(hr)) return hr;
  DWORD cookie = 0;
  if (hr = point->Advise(sink, &cookie); FAILED(hr)) return hr;
  point_ = std::move(point);
  cookie_ = cookie;
  return S_OK;
}

void Connection::LetGo() noexcept {
  point_.Reset();
  cookie_ = 0;
}

void Connection::Disconnect() noexcept {
  if (point_ && cookie_) point_->Unadvise(cookie_);
  point_.Reset();
  cookie_ = 0;
}

class PropertyNotifyRecorder::Sink final : public ComObject<IPropertyNotifySink> {
 public:
  HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) noexcept override {
    return Record(PropertyNotification::Kind::Changed, id);
  }
  HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID id) noexcept override {
    return Record(PropertyNotification::Kind::RequestEdit, id);
  }

  std::vector<PropertyNotification> log;

 private:
  void* Find(REFIID riid) noexcept override {
    return riid == IID_IPropertyNotifySink ? static_cast<IPropertyNotifySink*>(this) : nullptr;
  }
  HRESULT Record(PropertyNotification::Kind kind, DISPID id) noexcept try {
    log.push_back({kind, id});
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
};

PropertyNotifyRecorder::PropertyNotifyRecorder() : sink_(MakeCom<Sink>()) {}

PropertyNotifyRecorder::~PropertyNotifyRecorder() = default;

HRESULT PropertyNotifyRecorder::Connect(IUnknown* control) {
  return connection_.Connect(control, IID_IPropertyNotifySink, sink_.Get());
}

void PropertyNotifyRecorder::Disconnect() noexcept { connection_.Disconnect(); }

const std::vector<PropertyNotification>& PropertyNotifyRecorder::Notifications() const noexcept { return sink_->log; }

std::vector<DISPID> PropertyNotifyRecorder::Changed() const {
  std::vector<DISPID> ids;
  for (const PropertyNotification& entry : sink_->log) {
    if (entry.kind == PropertyNotification::Kind::Changed) ids.push_back(entry.id);
  }
  return ids;
}

std::vector<DISPID> PropertyNotifyRecorder::EditRequests() const {
  std::vector<DISPID> ids;
  for (const PropertyNotification& entry : sink_->log) {
    if (entry.kind == PropertyNotification::Kind::RequestEdit) ids.push_back(entry.id);
  }
  return ids;
}

void PropertyNotifyRecorder::Clear() noexcept { sink_->log.clear(); }

class EventRecorder::Sink final : public ComObject<IDispatch> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    if (info) *info = nullptr;
    // Events arrive by DISPID; the sink has no type information of its own.
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT*) noexcept override try {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (result) VariantInit(result);
    EventRecord record{id, {}};
    if (params) {
      for (UINT i = params->cArgs; i-- > 0;) record.args.emplace_back(params->rgvarg[i]);
    }
    log.push_back(std::move(record));
    if (handler) handler(id, params);
    return S_OK;
  } catch (...) {
    return E_UNEXPECTED;
  }

  std::vector<EventRecord> log;
  Handler handler;

 private:
  void* Find(REFIID riid) noexcept override {
    return riid == IID_IDispatch || riid == DIID___ucCardel ? static_cast<IDispatch*>(this) : nullptr;
  }
};

VARIANT& EventArg(DISPPARAMS& params, UINT index) { return params.rgvarg[params.cArgs - 1 - index]; }

EventRecorder::EventRecorder() : sink_(MakeCom<Sink>()) {}

EventRecorder::~EventRecorder() = default;

HRESULT EventRecorder::Connect(IUnknown* control) { return connection_.Connect(control, DIID___ucCardel, sink_.Get()); }

void EventRecorder::Disconnect() noexcept { connection_.Disconnect(); }

void EventRecorder::SetHandler(Handler handler) { sink_->handler = std::move(handler); }

const std::vector<EventRecord>& EventRecorder::Events() const noexcept { return sink_->log; }

std::vector<DISPID> EventRecorder::Ids() const {
  std::vector<DISPID> ids;
  for (const EventRecord& record : sink_->log) ids.push_back(record.id);
  return ids;
}

size_t EventRecorder::Count(DISPID id) const {
  return static_cast<size_t>(
      std::count_if(sink_->log.begin(), sink_->log.end(), [id](const EventRecord& record) { return record.id == id; }));
}

void EventRecorder::Clear() noexcept { sink_->log.clear(); }

}  // namespace cardel::host
