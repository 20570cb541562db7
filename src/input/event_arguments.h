#pragma once
// Event arguments passed by reference, so that an application's handler can change them and the
// control sees the change when the event returns.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>

namespace cardel::input {

inline VARIANTARG ByRef(int16_t* value) noexcept {
  VARIANTARG arg;
  V_VT(&arg) = VT_I2 | VT_BYREF;
  V_I2REF(&arg) = value;
  return arg;
}

inline VARIANTARG ByRef(LONG* value) noexcept {
  VARIANTARG arg;
  V_VT(&arg) = VT_I4 | VT_BYREF;
  V_I4REF(&arg) = value;
  return arg;
}

inline VARIANTARG ByRef(float* value) noexcept {
  VARIANTARG arg;
  V_VT(&arg) = VT_R4 | VT_BYREF;
  V_R4REF(&arg) = value;
  return arg;
}

// A handler that replaces the object releases the old one and leaves its new one with a reference.
inline VARIANTARG ByRef(IDispatch** value) noexcept {
  VARIANTARG arg;
  V_VT(&arg) = VT_DISPATCH | VT_BYREF;
  V_DISPATCHREF(&arg) = value;
  return arg;
}

}  // namespace cardel::input
