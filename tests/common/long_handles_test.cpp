// Handles carried in an automation Long: a 64-bit system may hand a handle out zero-extended, and the
// Long gives it back sign-extended; both name the same object.
#include <gtest/gtest.h>

#include <cstdint>

#include "common/long_handles.h"

namespace cardel {
namespace {

HDC Handle(uint64_t value) { return reinterpret_cast<HDC>(static_cast<uintptr_t>(value)); }

TEST(LongHandlesTest, AHandleIsTheSameAfterARoundTripThroughALong) {
  for (const uint64_t handedOut : {0x0001012Aull, 0x7FFF1234ull, 0x80011234ull, 0xFFFF0010ull}) {
    SCOPED_TRACE(handedOut);
    const HDC original = Handle(handedOut);
    const LONG carried = LongFromHandle(original);
    const HDC widened = reinterpret_cast<HDC>(static_cast<intptr_t>(carried));
    EXPECT_TRUE(SameHandle(original, widened));
    EXPECT_EQ(HandleFromLong(carried, original), original) << "the very handle handed out comes back";
  }
}

TEST(LongHandlesTest, OnlyTheLow32BitsNameTheHandle) {
  EXPECT_FALSE(SameHandle(Handle(0x80011234), Handle(0x80011235)));
  EXPECT_FALSE(SameHandle(Handle(0x00011234), Handle(0x80011234)));
  EXPECT_FALSE(SameHandle(nullptr, Handle(0x10)));
  EXPECT_TRUE(SameHandle(nullptr, nullptr));
}

TEST(LongHandlesTest, AnotherLongIsWidenedAsTheSystemWidensHandles) {
  const HDC known = Handle(0x80011234);
  EXPECT_EQ(HandleFromLong(static_cast<LONG>(0x00022222), known), Handle(0x00022222));
  EXPECT_EQ(HandleFromLong<HDC>(static_cast<LONG>(0x80022222)),
            reinterpret_cast<HDC>(static_cast<intptr_t>(static_cast<LONG>(0x80022222))));
  EXPECT_EQ(HandleFromLong<HDC>(0), nullptr);
}

}  // namespace
}  // namespace cardel
