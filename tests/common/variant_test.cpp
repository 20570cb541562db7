// The self-clearing VARIANT: a held reference is given up exactly once, whichever way the value leaves.
#include "common/variant.h"

#include <gtest/gtest.h>

#include <utility>

namespace cardel {
namespace {

// Counts the references the variant takes and gives back; it lives on the test's stack.
class Counted final : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID, void** object) noexcept override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() noexcept override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() noexcept override { return --refs; }
  ULONG refs = 1;
};

void Hold(Variant& v, Counted& object) {
  object.AddRef();
  V_VT(v.get()) = VT_UNKNOWN;
  V_UNKNOWN(v.get()) = &object;
}

TEST(Variant, GivesUpAHeldReferenceOnceWhereverTheValueGoes) {
  Counted object;
  {
    Variant v;
    Hold(v, object);
    EXPECT_EQ(object.refs, 2u);
  }
  EXPECT_EQ(object.refs, 1u) << "destroyed";
  {
    Variant from;
    Hold(from, object);
    Variant to(std::move(from));
    EXPECT_EQ(from.type(), VT_EMPTY);
    EXPECT_EQ(V_UNKNOWN(to.get()), &object);
    EXPECT_EQ(object.refs, 2u) << "moved, not copied";
  }
  EXPECT_EQ(object.refs, 1u) << "moved and destroyed";
  {
    Counted other;
    Variant v, w;
    Hold(v, object);
    Hold(w, other);
    v = std::move(w);
    EXPECT_EQ(object.refs, 1u) << "the overwritten value is cleared";
    EXPECT_EQ(other.refs, 2u);
    v = std::move(v);
    EXPECT_EQ(other.refs, 2u) << "moving onto itself keeps the value";
    v.clear();
    EXPECT_EQ(other.refs, 1u);
  }
  {
    Variant v;
    Hold(v, object);
    Variant taken;
    *taken = v.release();
    EXPECT_EQ(v.type(), VT_EMPTY);
    EXPECT_EQ(object.refs, 2u) << "released to the caller";
  }
  EXPECT_EQ(object.refs, 1u);
}

TEST(Variant, SettersReplaceTheHeldValue) {
  Counted object;
  Variant v;
  Hold(v, object);
  Variant::SetI2(v, -2);
  EXPECT_EQ(object.refs, 1u);
  EXPECT_EQ(v.type(), VT_I2);
  EXPECT_EQ(V_I2(v.get()), -2);
  Variant::SetBool(v, true);
  EXPECT_EQ(V_BOOL(v.get()), VARIANT_TRUE);
  Variant::SetI4(v, 70000);
  EXPECT_EQ(V_I4(v.get()), 70000);
}

}  // namespace
}  // namespace cardel
