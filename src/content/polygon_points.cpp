#include "content/polygon_points.h"

#include <windows.h>
#include <oleauto.h>


#include "common/rounding.h"
#include "content/caller_memory.h"

namespace cardel {
namespace {

using ole::RuntimeError;
using Integers = MethodResult<std::vector<int32_t>>;

class ArrayAccess {
 public:
  explicit ArrayAccess(SAFEARRAY* array) noexcept : array_(array) {
    if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&items_)))) items_ = nullptr;
  }
  ArrayAccess(const ArrayAccess&) = delete;
  ArrayAccess& operator=(const ArrayAccess&) = delete;
  ~ArrayAccess() {
    if (items_) SafeArrayUnaccessData(array_);
  }
  const VARIANT* items() const noexcept { return items_; }

 private:
  SAFEARRAY* array_;
  VARIANT* items_ = nullptr;
};

RuntimeError ConversionError(HRESULT hr) {
  return hr == DISP_E_OVERFLOW ? RuntimeError::Overflow : RuntimeError::TypeMismatch;
}

MethodResult<int32_t> ToInt32(const VARIANT& argument) {
  VARIANT converted;
  VariantInit(&converted);
  const HRESULT hr = VariantChangeType(&converted, const_cast<VARIANT*>(&argument), 0, VT_I4);
  if (FAILED(hr)) return {0, ConversionError(hr)};
  return {V_I4(&converted)};
}

MethodResult<double> ToNumber(const VARIANT& argument) {
  VARIANT converted;
  VariantInit(&converted);
  const HRESULT hr = VariantChangeType(&converted, const_cast<VARIANT*>(&argument), 0, VT_R8);
  if (FAILED(hr)) return {0, ConversionError(hr)};
  return {V_R8(&converted)};
}

Integers FromAddress(const VARIANT& addressArgument, const VARIANT& countArgument) {
  const MethodResult<int32_t> address = ToInt32(addressArgument);
  if (address.error) return {{}, address.error};
  const MethodResult<int32_t> count = ToInt32(countArgument);
  if (count.error) return {{}, count.error};
  if (count.value < 0 || count.value > kMaxPolygonIntegers) return {{}, RuntimeError::InvalidProcedureCall};
  // The control is 32-bit, so a Long holds any address of the process; addresses in the upper
  // half of a large-address-aware process arrive as negative values.
  const auto* source = reinterpret_cast<const int32_t*>(static_cast<uintptr_t>(static_cast<uint32_t>(address.value)));
  const size_t bytes = static_cast<size_t>(count.value) * sizeof(int32_t);
  std::vector<int32_t> copy(static_cast<size_t>(count.value));
  if (!ReadCallerMemory(source, copy.data(), bytes)) return {{}, RuntimeError::InvalidProcedureCall};
  return {std::move(copy)};
}

Integers FromValues(const VARIANT* items, size_t count, float dpiScale) {
  std::vector<int32_t> scaled(count);
  for (size_t i = 0; i < count; ++i) {
    const MethodResult<double> value = ToNumber(items[i]);
    if (value.error) return {{}, value.error};
    const auto rounded = RoundToInt32(value.value * dpiScale);
    if (!rounded) return {{}, RuntimeError::Overflow};
    scaled[i] = *rounded;
  }
  return {std::move(scaled)};
}

}  // namespace

Integers PolygonIntegers(SAFEARRAY* arguments, float dpiScale) {
  if (!arguments) return {};
  VARTYPE type = VT_EMPTY;
  LONG low = 0, high = -1;
  if (SafeArrayGetDim(arguments) != 1 || SafeArrayGetElemsize(arguments) != sizeof(VARIANT) ||
      FAILED(SafeArrayGetVartype(arguments, &type)) || type != VT_VARIANT ||
      FAILED(SafeArrayGetLBound(arguments, 1, &low)) || FAILED(SafeArrayGetUBound(arguments, 1, &high)))
    return {{}, RuntimeError::TypeMismatch};
  const int64_t count = int64_t{high} - low + 1;
  if (count <= 0) return {};
  const ArrayAccess access(arguments);
  if (!access.items()) return {{}, RuntimeError::TypeMismatch};
  if (count == 2) return FromAddress(access.items()[0], access.items()[1]);
  return FromValues(access.items(), static_cast<size_t>(count), dpiScale);
}

}  // namespace cardel
