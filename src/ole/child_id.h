#pragma once
// The child an IAccessible call names. Clients pass it in whatever integer type their language has,
// scripts pass variables by reference or leave the optional argument out; anything else, a reference
// to nothing among it, names no child at all and must be refused rather than read.
#include <windows.h>
#include <oaidl.h>

namespace ole {

struct ChildId {
  enum class Kind { Omitted, Number, Malformed };
  Kind kind = Kind::Malformed;
  LONG number = 0;  // only for Number
};

ChildId ReadChildId(const VARIANT& child) noexcept;

// True for CHILDID_SELF, and for an omitted argument where the child is optional.
bool NamesSelf(const VARIANT& child) noexcept;

}  // namespace ole
