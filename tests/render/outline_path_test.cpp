#include "render/outline_path.h"

#include <gtest/gtest.h>

#include "control/cardel_interfaces.h"

namespace cardel {
namespace {

using namespace Gdiplus::DllExports;

class OutlinePathTest : public testing::Test {
 protected:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override {
    if (token_) Gdiplus::GdiplusShutdown(token_);
  }

  // The radius-10 100 x 60 box with its isosceles tail centred on the bottom: (59,49) (49,59) (39,49).
  static OutlineGeometry BubbleGeometry() {
    OutlineInput in;
    in.width = 100;
    in.height = 60;
    in.cornerLeftTop = in.cornerRightTop = in.cornerBottomRight = in.cornerBottomLeft = 10;
    in.callOut = true;
    in.callOutPosition = coBottom;
    in.callOutAlign = coMidle;
    in.callOutWidth = 20;
    in.callOutLen = 10;
    return BuildOutlinePath(in).geometry;
  }

  static bool Inside(Gdiplus::GpPath* path, INT x, INT y) {
    BOOL visible = FALSE;
    GdipIsVisiblePathPointI(path, x, y, nullptr, &visible);
    return visible != FALSE;
  }

 private:
  ULONG_PTR token_ = 0;
};

TEST_F(OutlinePathTest, ReplayedBubbleCoversBodyAndTailOnly) {
  const gdip::UniquePath path = CreateOutlinePath(BubbleGeometry());
  ASSERT_TRUE(path);

  INT points = 0;
  ASSERT_EQ(GdipGetPointCount(path.get(), &points), Gdiplus::Ok);
  EXPECT_GE(points, 4 * 4 + 3);

  Gdiplus::GpRect bounds{};
  ASSERT_EQ(GdipGetPathWorldBoundsI(path.get(), &bounds, nullptr, nullptr), Gdiplus::Ok);
  EXPECT_EQ(bounds.X, 0);
  EXPECT_EQ(bounds.Y, 0);
  EXPECT_EQ(bounds.Width, 99);
  EXPECT_EQ(bounds.Height, 59);

  Gdiplus::FillMode mode = Gdiplus::FillModeWinding;
  GdipGetPathFillMode(path.get(), &mode);
  EXPECT_EQ(mode, Gdiplus::FillModeAlternate);

  EXPECT_TRUE(Inside(path.get(), 50, 25)) << "body";
  EXPECT_TRUE(Inside(path.get(), 49, 55)) << "tail";
  EXPECT_FALSE(Inside(path.get(), 90, 55)) << "beside the tail, below the body";
  EXPECT_FALSE(Inside(path.get(), 1, 1)) << "cut off by the rounded corner";
  EXPECT_FALSE(Inside(path.get(), 120, 30)) << "right of the box";
}

TEST_F(OutlinePathTest, ReplayAddsToAnExistingPathAndClosesTheFigure) {
  gdip::UniquePath path;
  ASSERT_EQ(GdipCreatePath(Gdiplus::FillModeAlternate, path.put()), Gdiplus::Ok);
  ReplayOutline(BubbleGeometry(), path.get());

  INT count = 0;
  GdipGetPointCount(path.get(), &count);
  ASSERT_GT(count, 0);
  std::vector<BYTE> types(static_cast<size_t>(count));
  ASSERT_EQ(GdipGetPathTypes(path.get(), types.data(), count), Gdiplus::Ok);
  EXPECT_EQ(types.front() & Gdiplus::PathPointTypePathTypeMask, Gdiplus::PathPointTypeStart);
  EXPECT_TRUE(types.back() & Gdiplus::PathPointTypeCloseSubpath);
}

}  // namespace
}  // namespace cardel
