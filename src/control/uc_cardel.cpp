#include "control/uc_cardel.h"

#include <new>

#include "control/cardel_classes.h"
#include "control/cardel_events.h"
#include "common/long_handles.h"
#include "render/dpi.h"
#include "content/caller_memory.h"
#include "content/font_lookup.h"
#include "content/icon_code.h"
#include "input/hand_cursor.h"
#include "ole/errors.h"
#include "ole/stock_pages.h"

using Microsoft::WRL::ComPtr;
using ole::RuntimeError;

namespace cardel {
namespace {

const CLSID kPropertyPages[] = {CLSID_ppCardel, ole::kStandardFontPage, ole::kStandardColorPage};

const ole::ControlClassInfo kUcCardelClass{
    &CLSID_ucCardel, &DIID___ucCardel, kPropertyPages, kUcCardelMiscStatus, SIZE{120, 40}, L"ucCardel",
};

ComPtr<IFont> NewStandardFont() noexcept {
  FONTDESC desc{sizeof(FONTDESC), const_cast<LPOLESTR>(L"MS Sans Serif"), {82500, 0}, FW_NORMAL, DEFAULT_CHARSET,
                FALSE, FALSE, FALSE};
  ComPtr<IFont> font;
  OleCreateFontIndirect(&desc, IID_PPV_ARGS(&font));
  return font;
}

}  // namespace

HRESULT CreateUcCardel(IUnknown* outer, REFIID riid, void** object) noexcept {
  auto* control = new (std::nothrow) UcCardel(outer);
  if (!control) return E_OUTOFMEMORY;
  // The new control's one reference is its inner unknown's; this owner gives it back.
  ComPtr<IUnknown> inner;
  *inner.GetAddressOf() = control->InnerUnknown();
  return inner->QueryInterface(riid, object);
}

UcCardel::UcCardel(IUnknown* outer) noexcept
    : ControlBase(kUcCardelClass, outer),
      font_(NewStandardFont()),
      iconFont_(NewStandardFont()),
      dpiScale_(static_cast<float>(cardel::GetWindowsDPI())) {
  for (const PropertyInfo& info : PropertyCatalogue())
    if (info.created) StoreMember(info, *info.created);
  fontWatch_.Watch(font_.Get(), &UcCardel::FontChanged, this);
  iconFontWatch_.Watch(iconFont_.Get(), &UcCardel::FontChanged, this);
}

// Caches go in a fixed order; GDI+ itself shuts down after them with its session member.
UcCardel::~UcCardel() {
  CancelDownload();
  fontWatch_.Stop();
  iconFontWatch_.Stop();
  retainedClaim_.Leave();
  retained_.Release();
  pictureBrush_.reset();
  pictureImage_.reset();
  boxShadowImage_.reset();
  captionShadowImage_.reset();
  input::ReplaceHeldCursor(handCursor_, {});
  if (dropTarget_) dropTarget_->Detach();
  ReleaseAcrylicSurface();
}

void* UcCardel::QueryControlInterface(REFIID riid) noexcept {
  if (riid == IID_IDispatch || riid == IID__ucCardel) return static_cast<_ucCardel*>(this);
  if (riid == IID_ICardelTestHooks) return static_cast<ICardelTestHooks*>(this);
  return nullptr;
}

bool UcCardel::IsErrorInfoInterface(REFIID riid) const noexcept {
  return riid == IID__ucCardel || riid == IID_IDispatch;
}

HRESULT UcCardel::Error(ole::RuntimeError e) const noexcept { return ole::RaiseError(e, IID__ucCardel); }

// Answers InitNew, an OLE call: a name that cannot be copied for want of memory is E_OUTOFMEMORY.
HRESULT UcCardel::OnInitProperties() noexcept {
  retained_.Release();
  fontCollection_ = PublishedFontCollection();
  for (const PropertyInfo& info : PropertyCatalogue()) {
    if (info.initial) StoreMember(info, *info.initial);
  }
  // The ambient values are read afresh, in the order a form runtime reads them.
  state_.FrontColor = AmbientBackColor(GetSysColor(COLOR_BTNFACE));
  const HRESULT named = ole::GuardedOle([&] {
    const std::wstring name = AmbientDisplayName(L"ucCardel");
    caption_.assign(reinterpret_cast<const uint8_t*>(name.data()),
                    reinterpret_cast<const uint8_t*>(name.data() + name.size()));
    return S_OK;
  });
  if (FAILED(named)) return named;
  if (ComPtr<IFontDisp> ambient = AmbientFont()) {
    CopyFontInto(ambient.Get(), font_, DISPID_UNKNOWN);
    CopyFontInto(ambient.Get(), iconFont_, DISPID_UNKNOWN);
  }
  return S_OK;
}

void UcCardel::OnShow() noexcept {
  RegisterOwnDropTarget();
  Refresh();
}

void UcCardel::OnResize() noexcept {
  if (state_.BackAcrylicBlur) PrepareAcrylicSurface();
  retained_.Release();
  DropPictureLayer();
  // A container's resize has no caller to tell: a shadow that cannot be built is left out.
  BuildBoxShadow();
}

HRESULT UcCardel::OnPaint(HDC dc, SIZE size) noexcept {
  const SIZE own = ClientSize();
  if (own.cx <= 0 || own.cy <= 0) return S_OK;
  LONG target = LongFromHandle(dc);
  LONG x = 0, y = 0;
  VARIANTARG prePaint[3];
  V_VT(&prePaint[0]) = VT_I4 | VT_BYREF;
  V_I4REF(&prePaint[0]) = &target;
  V_VT(&prePaint[1]) = VT_I4 | VT_BYREF;
  V_I4REF(&prePaint[1]) = &x;
  V_VT(&prePaint[2]) = VT_I4 | VT_BYREF;
  V_I4REF(&prePaint[2]) = &y;
  const uint32_t deactivations = Deactivations();
  FireEvent(events::PrePaint, prePaint);
  // A handler that closed the control took its window, and with it the context being painted.
  if (Deactivations() != deactivations) return S_OK;

  const HDC targetDc = HandleFromLong(target, dc);
  const BoxScale scale{static_cast<float>(size.cx) / own.cx, static_cast<float>(size.cy) / own.cy};
  // A DC the host swapped in is its own; only the plumbing's bitmap is drawn through its pixels. Only
  // the screen paint at the control's own size is retained: any other scale is drawn afresh.
  const bool ownSize = size.cx == own.cx && size.cy == own.cy;
  // The paint answers the view's caller, an OLE container: a paint that cannot be done is VIEW_E_DRAW.
  const HRESULT hr = ole::GuardedOle(
      [&] {
        if (SurfaceBits(targetDc))
          RenderOnSurface(targetDc, size, own, x, y, scale, dc);
        else if (ownSize && !paintAfresh_ && KeepsLayers(own))
          PaintRetained(targetDc, own, POINT{x, y}, dc);
        else
          RenderBox(targetDc, nullptr, own, x, y, scale, dc);
        return S_OK;
      },
      VIEW_E_DRAW);
  if (FAILED(hr)) return hr;

  VARIANTARG postPaint[1];
  V_VT(&postPaint[0]) = VT_I4;
  V_I4(&postPaint[0]) = LongFromHandle(dc);
  FireEvent(events::PostPaint, postPaint);
  return S_OK;
}

STDMETHODIMP UcCardel::Draw(LONG hDC, LONG hGraphics, LONG PosX, LONG* PosY) noexcept {
  if (!PosY) return E_POINTER;
  if (!hDC && !hGraphics) return Error(RuntimeError::InvalidProcedureCall);
  // A GDI+ Graphics is a pointer carried in a 32-bit Long: on 64-bit only one below 4 GB fits. A value that
  // names no readable memory of this process cannot be a Graphics, and GDI+ would fault on it.
  auto* graphics = reinterpret_cast<Gdiplus::GpGraphics*>(static_cast<uintptr_t>(static_cast<ULONG>(hGraphics)));
  if (graphics && !IsReadableRange(graphics, 4 * sizeof(void*))) return Error(RuntimeError::InvalidProcedureCall);
  return Guard([&] {
    RenderBox(reinterpret_cast<HDC>(static_cast<intptr_t>(hDC)), graphics, ClientSize(), PosX, *PosY);
    return S_OK;
  });
}

STDMETHODIMP UcCardel::GetWindowsDPI(double* Result) noexcept {
  if (!Result) return E_POINTER;
  *Result = cardel::GetWindowsDPI();
  return S_OK;
}

STDMETHODIMP UcCardel::Refresh() noexcept {
  if (state_.Redraw) Repaint();
  return S_OK;
}

STDMETHODIMP UcCardel::ChrW2(LONG CharCode, BSTR* Result) noexcept {
  if (!Result) return E_POINTER;
  *Result = nullptr;
  return Guard([&] {
    const IconCodeText text = cardel::ChrW2(CharCode);
    if (text.error) return Error(*text.error);
    *Result = SysAllocStringLen(text.text.data(), static_cast<UINT>(text.text.size()));
    return *Result ? S_OK : Error(RuntimeError::OutOfMemory);
  });
}

}  // namespace cardel
