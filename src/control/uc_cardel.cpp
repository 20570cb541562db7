#include "control/uc_cardel.h"

#include <new>

#include "control/cardel_classes.h"
#include "content/icon_code.h"
#include "ole/errors.h"
#include "ole/stock_pages.h"

using Microsoft::WRL::ComPtr;

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
  IUnknown* inner = control->InnerUnknown();
  HRESULT hr = inner->QueryInterface(riid, object);
  inner->Release();
  return hr;
}

UcCardel::UcCardel(IUnknown* outer) noexcept
    : ControlBase(kUcCardelClass, outer), font_(NewStandardFont()), iconFont_(NewStandardFont()) {}

UcCardel::~UcCardel() = default;

void* UcCardel::QueryControlInterface(REFIID riid) noexcept {
  if (riid == IID_IDispatch || riid == IID__ucCardel) return static_cast<_ucCardel*>(this);
  return nullptr;
}

bool UcCardel::IsErrorInfoInterface(REFIID riid) const noexcept {
  return riid == IID__ucCardel || riid == IID_IDispatch;
}

HRESULT UcCardel::Error(ole::RuntimeError e) const noexcept { return ole::RaiseError(e, IID__ucCardel); }

HRESULT UcCardel::OnInitProperties() noexcept {
  for (const PropertyInfo& info : PropertyCatalogue()) {
    if (!info.initial) continue;
    void* member = ScalarAddress(info);
    if (info.storedBytes == 2)
      *static_cast<int16_t*>(member) = static_cast<int16_t>(*info.initial);
    else
      *static_cast<int32_t*>(member) = *info.initial;
  }
  // The ambient values are read afresh, in the order a form runtime reads them.
  state_.FrontColor = AmbientBackColor(GetSysColor(COLOR_BTNFACE));
  const std::wstring name = AmbientDisplayName(L"ucCardel");
  caption_.assign(reinterpret_cast<const uint8_t*>(name.data()),
                  reinterpret_cast<const uint8_t*>(name.data() + name.size()));
  if (ComPtr<IFontDisp> ambient = AmbientFont()) {
    CopyFontInto(ambient.Get(), font_, DISPID_UNKNOWN);
    CopyFontInto(ambient.Get(), iconFont_, DISPID_UNKNOWN);
  }
  return S_OK;
}

// Saving and loading the properties arrive with the persistence work.
HRESULT UcCardel::OnReadProperties(IPropertyBag*) noexcept { return E_NOTIMPL; }
HRESULT UcCardel::OnWriteProperties(IPropertyBag*) noexcept { return E_NOTIMPL; }

// The box itself is painted by the rendering layers.
HRESULT UcCardel::OnPaint(HDC, SIZE) noexcept { return S_OK; }

void UcCardel::OnShow() noexcept { Refresh(); }

STDMETHODIMP UcCardel::Refresh() noexcept {
  if (state_.Redraw) Repaint();
  return S_OK;
}

STDMETHODIMP UcCardel::ChrW2(LONG CharCode, BSTR* Result) noexcept {
  if (!Result) return E_POINTER;
  *Result = nullptr;
  IconCodeText text = cardel::ChrW2(CharCode);
  if (text.error) return Error(*text.error);
  *Result = SysAllocStringLen(text.text.data(), static_cast<UINT>(text.text.size()));
  return *Result ? S_OK : E_OUTOFMEMORY;
}

// Members whose behaviour arrives with later work answer E_NOTIMPL until then.
STDMETHODIMP UcCardel::get_Image(IPicture** value) noexcept {
  if (value) *value = nullptr;
  return E_NOTIMPL;
}
STDMETHODIMP UcCardel::Draw(LONG, LONG, LONG, LONG*) noexcept { return E_NOTIMPL; }
STDMETHODIMP UcCardel::DrawText(LONG, BSTR, LONG, LONG, LONG, LONG, IFontDisp*, OLE_COLOR, short,
                                ::CaptionAlignmentH*, ::CaptionAlignmentV*, VARIANT_BOOL*, LONG*) noexcept {
  return E_NOTIMPL;
}
STDMETHODIMP UcCardel::GetWindowsDPI(double*) noexcept { return E_NOTIMPL; }
STDMETHODIMP UcCardel::PictureGetStream(SAFEARRAY**) noexcept { return E_NOTIMPL; }
STDMETHODIMP UcCardel::PictureDelete(VARIANT*) noexcept { return E_NOTIMPL; }
STDMETHODIMP UcCardel::PictureFromURL(BSTR, VARIANT_BOOL, VARIANT_BOOL, VARIANT_BOOL*) noexcept { return E_NOTIMPL; }
STDMETHODIMP UcCardel::PictureFromStream(SAFEARRAY**, VARIANT_BOOL*) noexcept { return E_NOTIMPL; }
STDMETHODIMP UcCardel::PictureFromPath(BSTR*, VARIANT_BOOL*) noexcept { return E_NOTIMPL; }
STDMETHODIMP UcCardel::tmrMOUSEOVER_Timer() noexcept { return E_NOTIMPL; }
STDMETHODIMP UcCardel::DrawLine(LONG, LONG, LONG, LONG, LONG, LONG, short, short, VARIANT_BOOL*) noexcept {
  return E_NOTIMPL;
}
STDMETHODIMP UcCardel::Polygon(LONG, LONG, OLE_COLOR, short, SAFEARRAY**, VARIANT_BOOL*) noexcept { return E_NOTIMPL; }
STDMETHODIMP UcCardel::GetSystemHandCursor(IPictureDisp**) noexcept { return E_NOTIMPL; }

}  // namespace cardel
