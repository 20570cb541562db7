#pragma once
// An owning VARIANT: cleared on destruction, deep-copied on copy.
#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cardel::host {

class Variant {
 public:
  Variant() noexcept { VariantInit(&value_); }
  // Copies through one level of VT_BYREF, so a recorded by-reference argument keeps its value.
  explicit Variant(const VARIANT& source);
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant other) noexcept;
  ~Variant() { VariantClear(&value_); }

  static Variant Short(short v);
  static Variant Long(long v);
  static Variant Float(float v);
  static Variant Double(double v);
  static Variant Bool(bool v);
  static Variant String(std::wstring_view v);
  static Variant Object(IUnknown* v);
  static Variant Object(IDispatch* v);
  static Variant Bytes(std::span<const uint8_t> v);

  VARTYPE vt() const noexcept { return value_.vt; }
  const VARIANT& operator*() const noexcept { return value_; }
  const VARIANT* operator->() const noexcept { return &value_; }
  VARIANT* get() noexcept { return &value_; }
  // For the OLE copy and conversion functions, which take their source by a non-const pointer but never
  // change it.
  VARIANT* in() const noexcept { return const_cast<VARIANT*>(&value_); }
  // Clears the held value first, for out-parameters.
  VARIANT* put() noexcept;
  // Hands ownership of the value to the caller.
  VARIANT Detach() noexcept;

  // Conversions throw HostError when the value does not convert.
  long ToLong() const;
  double ToDouble() const;
  bool ToBool() const;
  std::wstring ToString() const;
  std::vector<uint8_t> ToBytes() const;

 private:
  Variant ConvertedTo(VARTYPE vt) const;
  VARIANT value_;
};

}  // namespace cardel::host
