// A control that sizes itself cannot resize on its own: the container owns its rectangle. While
// in-place active the site is asked for the new rectangle, and the container's grant arrives
// back through SetObjectRects; otherwise the extent is the size and the container is told to
// lay the object out again.
#include <cstdint>

#include "common/ole_units.h"
#include "ole/control_base.h"

namespace ole {
namespace {

bool FitsLong(int64_t value) noexcept { return value >= LONG_MIN && value <= LONG_MAX; }

}  // namespace

HRESULT ControlBase::RequestResize(SIZE pixels) noexcept {
  if (pixels.cx < 0 || pixels.cy < 0) return E_INVALIDARG;
  SIZEL extent = cardel::ScreenPixelsToHimetric(pixels);
  if (extent.cx < 0 || extent.cy < 0) return E_INVALIDARG;

  if (inPlaceActive_ && inPlaceSite_) {
    const int64_t right = int64_t{posRect_.left} + pixels.cx;
    const int64_t bottom = int64_t{posRect_.top} + pixels.cy;
    if (!FitsLong(right) || !FitsLong(bottom)) return E_INVALIDARG;
    const RECT wanted{posRect_.left, posRect_.top, static_cast<LONG>(right), static_cast<LONG>(bottom)};
    // The container may read the extent while it handles the request, so it holds the new size
    // already, and the old one again if the container refuses.
    const SIZEL previous = extent_;
    extent_ = extent;
    const HRESULT hr = inPlaceSite_->OnPosRectChange(&wanted);
    if (FAILED(hr)) extent_ = previous;
    return hr;
  }

  const HRESULT hr = SetExtent(DVASPECT_CONTENT, &extent);
  if (FAILED(hr)) return hr;
  if (clientSite_) clientSite_->RequestNewObjectLayout();
  if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
  return S_OK;
}

}  // namespace ole
