#include "variant.h"

#include <algorithm>
#include <utility>

#include "host_error.h"

namespace cardel::host {

Variant::Variant(const VARIANT& source) : Variant() {
  ThrowIfFailed(VariantCopyInd(&value_, const_cast<VARIANT*>(&source)), "VariantCopyInd");
}

Variant::Variant(const Variant& other) : Variant() { ThrowIfFailed(VariantCopy(&value_, other.in()), "VariantCopy"); }

Variant::Variant(Variant&& other) noexcept : value_(other.Detach()) {}

Variant& Variant::operator=(Variant other) noexcept {
  std::swap(value_, other.value_);
  return *this;
}

Variant Variant::Short(short v) {
  Variant r;
  r.value_.vt = VT_I2;
  r.value_.iVal = v;
  return r;
}

Variant Variant::Long(long v) {
  Variant r;
  r.value_.vt = VT_I4;
  r.value_.lVal = v;
  return r;
}

Variant Variant::Float(float v) {
  Variant r;
  r.value_.vt = VT_R4;
  r.value_.fltVal = v;
  return r;
}

Variant Variant::Double(double v) {
  Variant r;
  r.value_.vt = VT_R8;
  r.value_.dblVal = v;
  return r;
}

Variant Variant::Bool(bool v) {
  Variant r;
  r.value_.vt = VT_BOOL;
  r.value_.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
  return r;
}

Variant Variant::String(std::wstring_view v) {
  Variant r;
  r.value_.bstrVal = SysAllocStringLen(v.data(), static_cast<UINT>(v.size()));
  if (!r.value_.bstrVal) throw HostError("SysAllocStringLen", E_OUTOFMEMORY);
  r.value_.vt = VT_BSTR;
  return r;
}

Variant Variant::Object(IUnknown* v) {
  Variant r;
  r.value_.vt = VT_UNKNOWN;
  r.value_.punkVal = v;
  if (v) v->AddRef();
  return r;
}

Variant Variant::Object(IDispatch* v) {
  Variant r;
  r.value_.vt = VT_DISPATCH;
  r.value_.pdispVal = v;
  if (v) v->AddRef();
  return r;
}

Variant Variant::Bytes(std::span<const uint8_t> v) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(v.size()));
  if (!array) throw HostError("SafeArrayCreateVector", E_OUTOFMEMORY);
  Variant r;
  r.value_.vt = VT_ARRAY | VT_UI1;
  r.value_.parray = array;
  if (!v.empty()) {
    void* data = nullptr;
    ThrowIfFailed(SafeArrayAccessData(array, &data), "SafeArrayAccessData");
    std::copy(v.begin(), v.end(), static_cast<uint8_t*>(data));
    SafeArrayUnaccessData(array);
  }
  return r;
}

VARIANT* Variant::put() noexcept {
  VariantClear(&value_);
  return &value_;
}

VARIANT Variant::Detach() noexcept {
  VARIANT out = value_;
  VariantInit(&value_);
  return out;
}

Variant Variant::ConvertedTo(VARTYPE vt) const {
  Variant r;
  ThrowIfFailed(VariantChangeType(r.get(), in(), 0, vt), "VariantChangeType");
  return r;
}

long Variant::ToLong() const { return ConvertedTo(VT_I4).value_.lVal; }

double Variant::ToDouble() const { return ConvertedTo(VT_R8).value_.dblVal; }

bool Variant::ToBool() const { return ConvertedTo(VT_BOOL).value_.boolVal != VARIANT_FALSE; }

std::wstring Variant::ToString() const {
  const Variant text = ConvertedTo(VT_BSTR);
  return std::wstring(text.value_.bstrVal, SysStringLen(text.value_.bstrVal));
}

std::vector<uint8_t> Variant::ToBytes() const {
  if (value_.vt != (VT_ARRAY | VT_UI1) || !value_.parray)
    throw HostError("Variant::ToBytes on another type", DISP_E_TYPEMISMATCH);
  SAFEARRAY* array = value_.parray;
  LONG low = 0, high = -1;
  SafeArrayGetLBound(array, 1, &low);
  SafeArrayGetUBound(array, 1, &high);
  std::vector<uint8_t> bytes(static_cast<size_t>(high - low + 1));
  if (!bytes.empty()) {
    void* data = nullptr;
    ThrowIfFailed(SafeArrayAccessData(array, &data), "SafeArrayAccessData");
    const auto* first = static_cast<const uint8_t*>(data);
    std::copy(first, first + bytes.size(), bytes.begin());
    SafeArrayUnaccessData(array);
  }
  return bytes;
}

}  // namespace cardel::host
