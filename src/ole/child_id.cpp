#include "ole/child_id.h"

#include <oleacc.h>
#include <oleauto.h>

#include <climits>

namespace ole {
namespace {

ChildId Number(LONGLONG value) noexcept {
  if (value < LONG_MIN || value > LONG_MAX) return {};
  return {ChildId::Kind::Number, static_cast<LONG>(value)};
}

// v is neither a reference to a VARIANT nor a reference to nothing.
ChildId ReadValue(const VARIANT& v) noexcept {
  const bool byRef = (V_VT(&v) & VT_BYREF) != 0;
  switch (V_VT(&v) & ~VT_BYREF) {
    case VT_EMPTY: return byRef ? ChildId{} : ChildId{ChildId::Kind::Omitted};
    case VT_ERROR: {
      const SCODE code = byRef ? *V_ERRORREF(&v) : V_ERROR(&v);
      return code == DISP_E_PARAMNOTFOUND ? ChildId{ChildId::Kind::Omitted} : ChildId{};
    }
    case VT_I1: return Number(byRef ? *V_I1REF(&v) : V_I1(&v));
    case VT_I2: return Number(byRef ? *V_I2REF(&v) : V_I2(&v));
    case VT_I4: return Number(byRef ? *V_I4REF(&v) : V_I4(&v));
    case VT_INT: return Number(byRef ? *V_INTREF(&v) : V_INT(&v));
    case VT_UI1: return Number(byRef ? *V_UI1REF(&v) : V_UI1(&v));
    case VT_UI2: return Number(byRef ? *V_UI2REF(&v) : V_UI2(&v));
    case VT_UI4: return Number(byRef ? *V_UI4REF(&v) : V_UI4(&v));
    case VT_UINT: return Number(byRef ? *V_UINTREF(&v) : V_UINT(&v));
    default: return {};
  }
}

}  // namespace

ChildId ReadChildId(const VARIANT& child) noexcept {
  const VARIANT* v = &child;
  // A VARIANT by reference holds a value or a typed reference, never another VARIANT reference.
  if (V_VT(v) == (VT_BYREF | VT_VARIANT)) {
    v = V_VARIANTREF(v);
    if (!v || V_VT(v) == (VT_BYREF | VT_VARIANT)) return {};
  }
  if ((V_VT(v) & VT_BYREF) && !V_BYREF(v)) return {};
  return ReadValue(*v);
}

bool NamesSelf(const VARIANT& child) noexcept {
  const ChildId id = ReadChildId(child);
  return id.kind == ChildId::Kind::Omitted || (id.kind == ChildId::Kind::Number && id.number == CHILDID_SELF);
}

}  // namespace ole
