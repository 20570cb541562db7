// The child an IAccessible call names, read from whatever a client put in the VARIANT.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "ole/child_id.h"

namespace ole {
namespace {

using Kind = ChildId::Kind;

VARIANT Raw(VARTYPE type, void* reference = nullptr) {
  VARIANT v{};
  V_VT(&v) = type;
  V_BYREF(&v) = reference;
  return v;
}

template <class T>
VARIANT Value(VARTYPE type, T value) {
  VARIANT v{};
  V_VT(&v) = type;
  static_assert(sizeof(T) <= sizeof(V_I4(&v)));
  std::memcpy(&V_I4(&v), &value, sizeof value);
  return v;
}

TEST(ChildIdTest, ReadsEveryIntegerFormByValueAndByReference) {
  LONG seven = 7;
  unsigned short two = 2;
  VARIANT referenced = Value<LONG>(VT_I4, 3);
  VARIANT referenceInside = Raw(VT_BYREF | VT_UI2, &two);
  const struct {
    const char* what;
    VARIANT child;
    LONG number;
  } cases[] = {
      {"I4", Value<LONG>(VT_I4, 5), 5},
      {"I2", Value<SHORT>(VT_I2, -4), -4},
      {"I1", Value<CHAR>(VT_I1, 9), 9},
      {"UI1", Value<BYTE>(VT_UI1, 200), 200},
      {"INT", Value<INT>(VT_INT, 0), 0},
      {"UI4", Value<ULONG>(VT_UI4, 12), 12},
      {"I4 by reference", Raw(VT_BYREF | VT_I4, &seven), 7},
      {"VARIANT by reference", Raw(VT_BYREF | VT_VARIANT, &referenced), 3},
      {"VARIANT by reference to UI2 by reference", Raw(VT_BYREF | VT_VARIANT, &referenceInside), 2},
  };
  for (const auto& c : cases) {
    const ChildId id = ReadChildId(c.child);
    EXPECT_EQ(id.kind, Kind::Number) << c.what;
    EXPECT_EQ(id.number, c.number) << c.what;
  }
}

TEST(ChildIdTest, RefusesReferencesToNothingAndWhatIsNoNumber) {
  VARIANT nested = Raw(VT_BYREF | VT_VARIANT, nullptr);
  VARIANT nestedValid = Value<LONG>(VT_I4, 0);
  VARIANT twice = Raw(VT_BYREF | VT_VARIANT, &nestedValid);
  const struct {
    const char* what;
    VARIANT child;
  } cases[] = {
      {"I4 by reference to nothing", Raw(VT_BYREF | VT_I4)},
      {"UI1 by reference to nothing", Raw(VT_BYREF | VT_UI1)},
      {"ERROR by reference to nothing", Raw(VT_BYREF | VT_ERROR)},
      {"VARIANT by reference to nothing", Raw(VT_BYREF | VT_VARIANT)},
      {"VARIANT by reference to a VARIANT by reference", Raw(VT_BYREF | VT_VARIANT, &nested)},
      {"VARIANT reference chain", Raw(VT_BYREF | VT_VARIANT, &twice)},
      {"EMPTY by reference", Raw(VT_BYREF | VT_EMPTY)},
      {"BSTR", Raw(VT_BSTR)},
      {"R8", Raw(VT_R8)},
      {"BOOL", Raw(VT_BOOL)},
      {"I8", Raw(VT_I8)},
      {"array", Raw(VT_ARRAY | VT_I4)},
      {"another error", Value<SCODE>(VT_ERROR, E_FAIL)},
      {"UI4 past LONG", Value<ULONG>(VT_UI4, 0x80000000u)},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadChildId(c.child).kind, Kind::Malformed) << c.what;
}

TEST(ChildIdTest, AnOmittedArgumentNamesTheObjectItself) {
  SCODE missing = DISP_E_PARAMNOTFOUND;
  const VARIANT omitted[] = {Raw(VT_EMPTY), Value<SCODE>(VT_ERROR, DISP_E_PARAMNOTFOUND),
                             Raw(VT_BYREF | VT_ERROR, &missing)};
  for (const VARIANT& child : omitted) {
    EXPECT_EQ(ReadChildId(child).kind, Kind::Omitted);
    EXPECT_TRUE(NamesSelf(child));
  }
  EXPECT_TRUE(NamesSelf(Value<SHORT>(VT_I2, CHILDID_SELF)));
  EXPECT_FALSE(NamesSelf(Value<LONG>(VT_I4, 1)));
  EXPECT_FALSE(NamesSelf(Raw(VT_BYREF | VT_I4)));
}

}  // namespace
}  // namespace ole
