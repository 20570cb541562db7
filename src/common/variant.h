#pragma once
// A VARIANT that clears itself; moving it hands over the value and leaves the source empty.
#include <windows.h>
#include <oleauto.h>

namespace cardel {

class Variant {
 public:
  Variant() noexcept { VariantInit(&v_); }
  Variant(Variant&& other) noexcept : v_(other.release()) {}
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      clear();
      v_ = other.release();
    }
    return *this;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }

  VARIANT* get() noexcept { return &v_; }
  const VARIANT* get() const noexcept { return &v_; }
  VARIANT& operator*() noexcept { return v_; }
  const VARIANT& operator*() const noexcept { return v_; }
  VARTYPE type() const noexcept { return V_VT(&v_); }
  void clear() noexcept { VariantClear(&v_); }
  // The value for a caller that takes ownership; this one is left empty.
  VARIANT release() noexcept {
    VARIANT out = v_;
    VariantInit(&v_);
    return out;
  }

  static void SetI2(Variant& v, short value) noexcept {
    v.clear();
    V_VT(v.get()) = VT_I2;
    V_I2(v.get()) = value;
  }
  static void SetI4(Variant& v, LONG value) noexcept {
    v.clear();
    V_VT(v.get()) = VT_I4;
    V_I4(v.get()) = value;
  }
  static void SetBool(Variant& v, bool value) noexcept {
    v.clear();
    V_VT(v.get()) = VT_BOOL;
    V_BOOL(v.get()) = value ? VARIANT_TRUE : VARIANT_FALSE;
  }

 private:
  VARIANT v_{};
};

}  // namespace cardel
