// IDataObject: a document that shows the control inactive asks it for a picture, drawn through
// the same Draw as any other target, as an enhanced metafile or an old-style metafile picture.
#include <urlmon.h>

#include <iterator>

#include "ole/control_base.h"

namespace ole {
namespace {

constexpr FORMATETC kFormats[] = {
    {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF},
    {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT},
};

HRESULT CheckFormat(const FORMATETC* format) noexcept {
  if (!format) return E_POINTER;
  if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (format->lindex != -1) return DV_E_LINDEX;
  for (const FORMATETC& offered : kFormats)
    if (offered.cfFormat == format->cfFormat) return (format->tymed & offered.tymed) ? S_OK : DV_E_TYMED;
  return DV_E_FORMATETC;
}

}  // namespace

cardel::UniqueEnhMetaFile ControlBase::RecordEnhancedPicture() noexcept {
  // The frame is the extent; the bounds are the same rectangle in the reference screen's pixels.
  const RECT frame{0, 0, extent_.cx, extent_.cy};
  const HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, &frame, info_.userTypeName);
  if (!recorder) return {};
  const RECTL bounds{0, 0, MulDiv(extent_.cx, GetDeviceCaps(recorder, HORZRES), GetDeviceCaps(recorder, HORZSIZE) * 100),
                     MulDiv(extent_.cy, GetDeviceCaps(recorder, VERTRES), GetDeviceCaps(recorder, VERTSIZE) * 100)};
  const HRESULT hr = Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, recorder, &bounds, nullptr, nullptr, 0);
  cardel::UniqueEnhMetaFile picture(CloseEnhMetaFile(recorder));
  if (FAILED(hr)) picture.reset();
  return picture;
}

cardel::UniqueMetaFile ControlBase::RecordWindowsPicture() noexcept {
  const HDC recorder = CreateMetaFileW(nullptr);
  if (!recorder) return {};
  // The player maps the window onto its viewport: the picture spans the control's own pixels.
  const SIZE own = ClientSize();
  SetWindowOrgEx(recorder, 0, 0, nullptr);
  SetWindowExtEx(recorder, own.cx, own.cy, nullptr);
  const RECTL bounds{0, 0, own.cx, own.cy};
  const HRESULT hr = Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, recorder, &bounds, nullptr, nullptr, 0);
  cardel::UniqueMetaFile picture(CloseMetaFile(recorder));
  if (FAILED(hr)) picture.reset();
  return picture;
}

STDMETHODIMP ControlBase::GetData(FORMATETC* format, STGMEDIUM* medium) noexcept {
  if (!medium) return E_POINTER;
  *medium = STGMEDIUM{};
  if (HRESULT hr = CheckFormat(format); FAILED(hr)) return hr;
  if (format->cfFormat == CF_ENHMETAFILE) {
    cardel::UniqueEnhMetaFile picture = RecordEnhancedPicture();
    if (!picture) return E_OUTOFMEMORY;
    medium->tymed = TYMED_ENHMF;
    medium->hEnhMetaFile = picture.release();
    return S_OK;
  }
  cardel::UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT)));
  cardel::UniqueMetaFile picture = block ? RecordWindowsPicture() : cardel::UniqueMetaFile{};
  auto* header = picture ? static_cast<METAFILEPICT*>(GlobalLock(block.get())) : nullptr;
  if (!header) return E_OUTOFMEMORY;
  *header = METAFILEPICT{MM_ANISOTROPIC, extent_.cx, extent_.cy, picture.release()};
  GlobalUnlock(block.get());
  medium->tymed = TYMED_MFPICT;
  medium->hMetaFilePict = block.release();
  return S_OK;
}

// Pictures are made fresh for each call: there is no caller's medium to draw into.
STDMETHODIMP ControlBase::GetDataHere(FORMATETC*, STGMEDIUM*) noexcept { return E_NOTIMPL; }

STDMETHODIMP ControlBase::QueryGetData(FORMATETC* format) noexcept { return CheckFormat(format); }

STDMETHODIMP ControlBase::GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) noexcept {
  if (!in || !out) return E_POINTER;
  *out = *in;
  out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

// The picture follows the properties; nothing can be set through data transfer.
STDMETHODIMP ControlBase::SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept { return E_NOTIMPL; }

STDMETHODIMP ControlBase::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) noexcept {
  if (!formats) return E_POINTER;
  *formats = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  return CreateFormatEnumerator(static_cast<UINT>(std::size(kFormats)), const_cast<FORMATETC*>(kFormats), formats);
}

STDMETHODIMP ControlBase::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) noexcept {
  if (!connection) return E_POINTER;
  *connection = 0;
  if (!sink) return E_INVALIDARG;
  if (HRESULT hr = CheckFormat(format); FAILED(hr)) return hr;
  if (!dataAdvise_) {
    HRESULT hr = CreateDataAdviseHolder(&dataAdvise_);
    if (FAILED(hr)) return hr;
  }
  return dataAdvise_->Advise(this, format, flags, sink, connection);
}

STDMETHODIMP ControlBase::DUnadvise(DWORD connection) noexcept {
  if (!dataAdvise_) return OLE_E_NOCONNECTION;
  return dataAdvise_->Unadvise(connection);
}

STDMETHODIMP ControlBase::EnumDAdvise(IEnumSTATDATA** advise) noexcept {
  if (!advise) return E_POINTER;
  *advise = nullptr;
  if (!dataAdvise_) return S_FALSE;
  return dataAdvise_->EnumAdvise(advise);
}

}  // namespace ole
