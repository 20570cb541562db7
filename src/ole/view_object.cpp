// IViewObjectEx: drawing on the container's device context and answering its hit queries.
#include <utility>

#include "ole/control_base.h"
#include "ole/draw_route.h"
#include "ole/paint_surface.h"

using Microsoft::WRL::ComPtr;

namespace ole {
namespace {

bool IsContentAspect(DWORD aspect) {
  return aspect == DVASPECT_CONTENT || aspect == DVASPECT_OPAQUE || aspect == DVASPECT_TRANSPARENT;
}

}  // namespace

STDMETHODIMP ControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc, LPCRECTL bounds, LPCRECTL,
                               BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) noexcept {
  if (!IsContentAspect(aspect)) return DV_E_DVASPECT;
  if (!drawDc) return E_INVALIDARG;
  // A windowless control drawn by an active container may be given no bounds: it uses its own.
  RECT rect;
  if (bounds) {
    rect = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  } else if (inPlaceActive_ && windowless_) {
    rect = posRect_;
  } else {
    return E_INVALIDARG;
  }
  // Axes of some mapping modes point up or left, so the bounds may run either way.
  if (rect.right == rect.left || rect.bottom == rect.top) return S_OK;
  // Every property is defined at the control's own size: that layout is what any target shows, scaled.
  const SIZE own = ClientSize();
  if (own.cx <= 0 || own.cy <= 0) return S_OK;

  // The paint raises events whose handlers may release the control's last reference, the caller's included.
  const ComPtr<IUnknown> alive(outer_);
  const DcTraits traits = ReadDcTraits(drawDc);
  const DrawRoute route = ChooseDrawRoute(traits, SpanOf(rect), own);
  if (route != DrawRoute::Direct) return DrawThroughSurface(drawDc, rect, own, route, traits.objectType == OBJ_METADC);
  const int saved = SaveDC(drawDc);
  OffsetViewportOrgEx(drawDc, rect.left, rect.top, nullptr);
  HRESULT hr = OnPaint(drawDc, own);
  RestoreDC(drawDc, saved);
  return hr;
}

HRESULT ControlBase::DrawThroughSurface(HDC dc, const RECT& bounds, SIZE own, DrawRoute route, bool metafile) noexcept {
  // A metafile has no device pixels to match: the bitmap keeps the control's own size.
  RECT device = bounds;
  SIZE surfaceSize = own;
  POINT corners[2] = {{bounds.left, bounds.top}, {bounds.right, bounds.bottom}};
  if (!metafile && LPtoDP(dc, corners, 2)) {
    device = SpannedRect(corners[0], corners[1]);
    if (device.right == device.left || device.bottom == device.top) return S_OK;
    surfaceSize = SurfaceSize(SpanOf(device));
  }
  PaintSurface surface(surfaceSize);
  if (!surface) return E_OUTOFMEMORY;
  constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;
  if (route == DrawRoute::OpaqueBitmap) surface.Fill(kOpaqueWhite);
  // A paint started from within this one (a PrePaint handler's Refresh) has its own surface.
  const HDC outerDc = std::exchange(surfaceDc_, surface.Dc());
  void* const outerBits = std::exchange(surfaceBits_, surface.Bits());
  HRESULT hr = OnPaint(surface.Dc(), surfaceSize);
  surfaceDc_ = outerDc;
  surfaceBits_ = outerBits;
  if (FAILED(hr)) return hr;
  const bool placed = route == DrawRoute::BlendBitmap ? surface.BlendOnto(dc, device) : surface.StretchOnto(dc, bounds);
  return placed ? S_OK : E_FAIL;
}

STDMETHODIMP ControlBase::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) noexcept {
  if (!colors) return E_POINTER;
  *colors = nullptr;
  return S_FALSE;
}

STDMETHODIMP ControlBase::Freeze(DWORD aspect, LONG, void*, DWORD* freeze) noexcept {
  if (!freeze) return E_POINTER;
  if (!IsContentAspect(aspect)) return DV_E_DVASPECT;
  *freeze = ++viewFreeze_;
  return S_OK;
}

STDMETHODIMP ControlBase::Unfreeze(DWORD freeze) noexcept {
  if (freeze == 0 || freeze > viewFreeze_) return OLE_E_NOCONNECTION;
  return S_OK;
}

STDMETHODIMP ControlBase::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) noexcept {
  viewAspects_ = aspects;
  viewFlags_ = flags;
  viewSink_ = sink;
  return S_OK;
}

STDMETHODIMP ControlBase::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) noexcept {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewFlags_;
  if (sink) viewSink_.CopyTo(sink);
  return S_OK;
}

STDMETHODIMP ControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) noexcept {
  return GetExtent(aspect, size);
}

STDMETHODIMP ControlBase::GetRect(DWORD aspect, LPRECTL rect) noexcept {
  if (!rect) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!inPlaceActive_) return E_UNEXPECTED;
  *rect = {posRect_.left, posRect_.top, posRect_.right, posRect_.bottom};
  return S_OK;
}

STDMETHODIMP ControlBase::GetViewStatus(DWORD* status) noexcept {
  if (!status) return E_POINTER;
  // Transparent: whatever lies beneath shows through outside and inside the box.
  *status = 0;
  return S_OK;
}

STDMETHODIMP ControlBase::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG, DWORD* hit) noexcept {
  if (!hit) return E_POINTER;
  *hit = HITRESULT_OUTSIDE;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds) return E_POINTER;
  if (!PtInRect(bounds, point)) return S_OK;
  // The hit query raises the hover events, whose handlers may release the control.
  const ComPtr<IUnknown> alive(outer_);
  *hit = OnHitTest(POINT{point.x - bounds->left, point.y - bounds->top});
  return S_OK;
}

STDMETHODIMP ControlBase::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG, DWORD* hit) noexcept {
  if (!hit) return E_POINTER;
  *hit = HITRESULT_OUTSIDE;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !rect) return E_POINTER;
  RECT overlap;
  if (IntersectRect(&overlap, bounds, rect)) {
    OffsetRect(&overlap, -bounds->left, -bounds->top);
    *hit = OnHitTestArea(overlap);
  }
  return S_OK;
}

STDMETHODIMP ControlBase::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) noexcept {
  return E_NOTIMPL;
}

DWORD ControlBase::OnHitTest(POINT) noexcept { return HITRESULT_HIT; }
DWORD ControlBase::OnHitTestArea(const RECT&) noexcept { return HITRESULT_HIT; }

}  // namespace ole
