#include "test_data_object.h"

#include <shlobj.h>

#include <cstring>

namespace cardel::host {
namespace {

template <class Char>
std::vector<uint8_t> BytesWithZero(const std::basic_string<Char>& text) {
  std::vector<uint8_t> bytes((text.size() + 1) * sizeof(Char), 0);
  std::memcpy(bytes.data(), text.data(), text.size() * sizeof(Char));
  return bytes;
}

}  // namespace

void TestDataObject::OfferUnicodeText(const std::wstring& text) { Offer(CF_UNICODETEXT, BytesWithZero(text)); }

void TestDataObject::OfferAnsiText(const std::string& text) { Offer(CF_TEXT, BytesWithZero(text)); }

void TestDataObject::OfferFiles(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const std::wstring& path : paths) list += path + L'\0';
  list += L'\0';
  std::vector<uint8_t> block(sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.fWide = TRUE;
  std::memcpy(block.data(), &header, sizeof(header));
  std::memcpy(block.data() + sizeof(header), list.data(), list.size() * sizeof(wchar_t));
  Offer(CF_HDROP, std::move(block));
}

HRESULT STDMETHODCALLTYPE TestDataObject::QueryGetData(FORMATETC* format) noexcept {
  if (!format) return E_POINTER;
  if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
  return formats_.count(format->cfFormat) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE TestDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) noexcept {
  ++get_data_calls_;
  if (!medium) return E_POINTER;
  if (HRESULT hr = QueryGetData(format); hr != S_OK) return hr;
  const std::vector<uint8_t>& bytes = formats_.at(format->cfFormat);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return E_OUTOFMEMORY;
  std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) noexcept {
  if (out) out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

}  // namespace cardel::host
