#pragma once
// A property bag held in memory and its binary form, so that containers persisting to streams get
// exactly the keys and values that form files get through IPropertyBag.
//
// Stream layout (little-endian), version 1:
//   u32 magic 'VCPB', u16 version, u32 count, then `count` entries:
//   u32 name length in UTF-16 units, the name, u16 VARTYPE, then the value:
//     fixed-size scalars: their bytes; VT_BSTR and VT_ARRAY|VT_UI1: u32 byte count and the bytes;
//     VT_UNKNOWN / VT_DISPATCH: the object's standard persistent form (OleSaveToStream); only the
//     null class, standard fonts and standard pictures load.
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "common/variant.h"

namespace ole {

class MemoryBag final : public IPropertyBag {
 public:
  MemoryBag() = default;
  MemoryBag(const MemoryBag&) = delete;
  MemoryBag& operator=(const MemoryBag&) = delete;

  // Lives on the stack of its user: the reference count is not used for its lifetime.
  STDMETHODIMP QueryInterface(REFIID riid, void** object) noexcept override;
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return 2; }
  STDMETHODIMP_(ULONG) Release() noexcept override { return 1; }
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) noexcept override;
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) noexcept override;

  HRESULT SaveTo(IStream* stream) const noexcept;
  HRESULT LoadFrom(IStream* stream) noexcept;

 private:
  std::vector<std::pair<std::wstring, cardel::Variant>> entries_;
};

}  // namespace ole
