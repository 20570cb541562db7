#include "ole/font_watch.h"

#include "ole/com_object.h"

using Microsoft::WRL::ComPtr;

namespace ole {
namespace {

// The font holds the sink until it is unadvised; the control it calls may already be going, so the
// sink forgets it first.
class FontSink final : public ComObject<IPropertyNotifySink> {
 public:
  FontSink(FontWatch::Changed changed, void* context) noexcept : changed_(changed), context_(context) {}
  void Forget() noexcept { changed_ = nullptr; }

  STDMETHODIMP OnChanged(DISPID) noexcept override {
    if (changed_) changed_(context_);
    return S_OK;
  }
  STDMETHODIMP OnRequestEdit(DISPID) noexcept override { return S_OK; }

 private:
  void* Find(REFIID riid) noexcept override {
    return riid == IID_IPropertyNotifySink ? static_cast<IPropertyNotifySink*>(this) : nullptr;
  }

  FontWatch::Changed changed_;
  void* context_;
};

}  // namespace

FontWatch::~FontWatch() { Stop(); }

void FontWatch::Watch(IUnknown* font, Changed changed, void* context) noexcept {
  Stop();
  ComPtr<IConnectionPointContainer> container;
  if (!font || FAILED(font->QueryInterface(IID_PPV_ARGS(&container)))) return;
  ComPtr<IConnectionPoint> point;
  if (FAILED(container->FindConnectionPoint(IID_IPropertyNotifySink, &point))) return;
  const ComPtr<FontSink> sink = MakeComObject<FontSink>(changed, context);
  if (!sink || FAILED(point->Advise(sink.Get(), &cookie_))) return;
  point_ = point;
  sink_ = sink;
}

void FontWatch::Stop() noexcept {
  if (sink_) static_cast<FontSink*>(sink_.Get())->Forget();
  if (point_) point_->Unadvise(cookie_);
  point_.Reset();
  sink_.Reset();
  cookie_ = 0;
}

}  // namespace ole
