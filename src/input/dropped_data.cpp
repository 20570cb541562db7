#include "input/dropped_data.h"

#include <oleauto.h>

#include <cstring>
#include <new>

#include "common/automation_handles.h"
#include "input/data_reading.h"
#include "input/dropped_files.h"
#include "ole/com_object.h"
#include "ole/dispatch.h"
#include "ole/errors.h"

using Microsoft::WRL::ComPtr;

namespace cardel::input {
namespace {

CLIPFORMAT ClipboardFormat(short format) noexcept {
  return static_cast<CLIPFORMAT>(static_cast<unsigned short>(format));
}

HRESULT StringArray(const std::vector<std::wstring>& names, VARIANT* value) noexcept {
  UniqueSafeArray array(SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(names.size())));
  if (!array) return E_OUTOFMEMORY;
  auto* items = static_cast<BSTR*>(array.get()->pvData);
  for (size_t i = 0; i < names.size(); ++i) {
    items[i] = SysAllocStringLen(names[i].data(), static_cast<UINT>(names[i].size()));
    if (!items[i]) return E_OUTOFMEMORY;
  }
  V_VT(value) = VT_ARRAY | VT_BSTR;
  V_ARRAY(value) = array.release();
  return S_OK;
}

HRESULT ByteArray(const std::vector<uint8_t>& bytes, VARIANT* value) noexcept {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (!array) return E_OUTOFMEMORY;
  if (!bytes.empty()) std::memcpy(array->pvData, bytes.data(), bytes.size());
  V_VT(value) = VT_ARRAY | VT_UI1;
  V_ARRAY(value) = array;
  return S_OK;
}

class DroppedData final : public ole::ComObject<ole::DualDispatch<DataObject, &IID_DataObject>, ISupportErrorInfo> {
 public:
  explicit DroppedData(IDataObject* source) noexcept : source_(source) {}

  STDMETHODIMP Clear() noexcept override { return ReadOnly(); }

  STDMETHODIMP SetData(VARIANT, VARIANT) noexcept override { return ReadOnly(); }

  STDMETHODIMP GetFormat(short Format, VARIANT_BOOL* Value) noexcept override {
    if (!Value) return E_POINTER;
    bool offered = OffersFormat(source_.Get(), ClipboardFormat(Format));
    // Windows makes either kind of text from the other, so a source offering one offers both.
    if (!offered && (Format == kTextFormat || Format == kUnicodeTextFormat))
      offered = OffersFormat(source_.Get(), CF_TEXT) || OffersFormat(source_.Get(), CF_UNICODETEXT);
    *Value = offered ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }

  STDMETHODIMP GetData(short Format, VARIANT* Value) noexcept override {
    if (!Value) return E_POINTER;
    VariantInit(Value);
    try {
      if (Format == kTextFormat || Format == kUnicodeTextFormat) {
        auto text = ReadText(source_.Get());
        if (!text) return NotOffered();
        V_VT(Value) = VT_BSTR;
        V_BSTR(Value) = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
        return V_BSTR(Value) ? S_OK : E_OUTOFMEMORY;
      }
      if (Format == kFilesFormat) {
        if (!OffersFormat(source_.Get(), CF_HDROP)) return NotOffered();
        return StringArray(ReadFileNames(source_.Get()), Value);
      }
      auto bytes = ReadFormatBytes(source_.Get(), ClipboardFormat(Format));
      return bytes ? ByteArray(*bytes, Value) : NotOffered();
    } catch (const std::bad_alloc&) {
      return ole::RaiseError(ole::RuntimeError::OutOfMemory, IID_DataObject);
    }
  }

  STDMETHODIMP get_Files(DataObjectFiles** Value) noexcept override {
    if (!Value) return E_POINTER;
    *Value = nullptr;
    try {
      return NewDroppedFiles(ReadFileNames(source_.Get()), Value);
    } catch (const std::bad_alloc&) {
      return ole::RaiseError(ole::RuntimeError::OutOfMemory, IID_DataObject);
    }
  }

  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) noexcept override {
    return riid == IID_DataObject ? S_OK : S_FALSE;
  }

 private:
  void* Find(REFIID riid) noexcept override {
    if (riid == IID_IDispatch || riid == IID_DataObject) return static_cast<DataObject*>(this);
    if (riid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
  }

  static HRESULT ReadOnly() noexcept {
    return ole::RaiseError(kDataObjectReadOnly, L"The data of a drop belongs to its source and cannot be changed",
                           IID_DataObject);
  }
  static HRESULT NotOffered() noexcept {
    return ole::RaiseError(kFormatNotOffered, L"The dragged data is not offered in that format", IID_DataObject);
  }

  ComPtr<IDataObject> source_;
};

}  // namespace

HRESULT NewDroppedData(IDataObject* source, DataObject** data) noexcept {
  if (!data) return E_POINTER;
  *data = nullptr;
  auto object = ole::MakeComObject<DroppedData>(source);
  if (!object) return E_OUTOFMEMORY;
  *data = object.Detach();
  return S_OK;
}

}  // namespace cardel::input
