#include "picture/byte_array.h"

#include <oleauto.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace cardel {
namespace {

struct DestroyArray {
  void operator()(SAFEARRAY* a) const { SafeArrayDestroy(a); }
};
using Array = std::unique_ptr<SAFEARRAY, DestroyArray>;

Array Bytes(LONG lowerBound, std::vector<uint8_t> values) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(values.size()), lowerBound};
  Array a(SafeArrayCreate(VT_UI1, 1, &bound));
  if (!values.empty()) memcpy(a->pvData, values.data(), values.size());
  return a;
}

std::vector<uint8_t> Seen(const ByteArrayView& view) { return {view.bytes().begin(), view.bytes().end()}; }

TEST(ByteArrayViewTest, AZeroBasedByteArrayIsUsedWhole) {
  Array a = Bytes(0, {1, 2, 3});
  const ByteArrayView view(a.get());
  ASSERT_TRUE(view.usable());
  EXPECT_EQ(Seen(view), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(view.bytes().data(), a->pvData);
}

TEST(ByteArrayViewTest, AnArrayReachingBelowZeroIsReadFromIndexZero) {
  Array a = Bytes(-2, {7, 8, 1, 2});
  const ByteArrayView view(a.get());
  ASSERT_TRUE(view.usable());
  EXPECT_EQ(Seen(view), (std::vector<uint8_t>{1, 2}));
}

TEST(ByteArrayViewTest, ArraysWithoutIndexZeroAreNotUsable) {
  EXPECT_FALSE(ByteArrayView(nullptr).usable());
  Array one = Bytes(1, {1, 2, 3});
  EXPECT_FALSE(ByteArrayView(one.get()).usable());
  Array below = Bytes(-3, {1, 2, 3});
  EXPECT_FALSE(ByteArrayView(below.get()).usable());
  Array empty = Bytes(0, {});
  EXPECT_FALSE(ByteArrayView(empty.get()).usable());
}

TEST(ByteArrayViewTest, OtherShapesAndElementTypesAreNotUsable) {
  SAFEARRAYBOUND square[2]{{2, 0}, {2, 0}};
  Array twoDimensions(SafeArrayCreate(VT_UI1, 2, square));
  EXPECT_FALSE(ByteArrayView(twoDimensions.get()).usable());
  SAFEARRAYBOUND four{4, 0};
  Array longs(SafeArrayCreate(VT_I4, 1, &four));
  EXPECT_FALSE(ByteArrayView(longs.get()).usable());
  Array variants(SafeArrayCreate(VT_VARIANT, 1, &four));
  EXPECT_FALSE(ByteArrayView(variants.get()).usable());
}

TEST(ByteArrayViewTest, TheArrayCannotBeFreedWhileItIsViewed) {
  Array a = Bytes(0, {1, 2});
  {
    const ByteArrayView view(a.get());
    EXPECT_EQ(SafeArrayDestroy(a.get()), DISP_E_ARRAYISLOCKED);
  }
  EXPECT_EQ(SafeArrayDestroy(a.release()), S_OK);
}

}  // namespace
}  // namespace cardel
