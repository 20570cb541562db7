#pragma once
// A data object as a drag source hands it over: fixed formats in global memory.
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "com_object.h"

namespace cardel::host {

class TestDataObject final : public ComObject<IDataObject> {
 public:
  static ComPtr<TestDataObject> Make() { return MakeCom<TestDataObject>(); }

  void Offer(CLIPFORMAT format, std::vector<uint8_t> bytes) { formats_[format] = std::move(bytes); }
  void OfferUnicodeText(const std::wstring& text);
  void OfferAnsiText(const std::string& text);
  // A CF_HDROP block with wide names.
  void OfferFiles(const std::vector<std::wstring>& paths);
  int GetDataCalls() const noexcept { return get_data_calls_; }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) noexcept override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) noexcept override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) noexcept override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) noexcept override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  TestDataObject() = default;
  void* Find(REFIID riid) noexcept override {
    return riid == IID_IDataObject ? static_cast<IDataObject*>(this) : nullptr;
  }

  std::map<CLIPFORMAT, std::vector<uint8_t>> formats_;
  int get_data_calls_ = 0;

  template <class T, class... Args>
  friend ComPtr<T> MakeCom(Args&&... args);
};

}  // namespace cardel::host
