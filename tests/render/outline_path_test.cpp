#include "render/outline_path.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/cardel_interfaces.h"
#include "common/gdiplus_session.h"

namespace cardel {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// The radius-10 100 x 60 box with its isosceles tail centred on the bottom, replayed into a GDI+
// path on its own and after a figure already in a path.
TEST(OutlinePath, ReplayedBubbleIsOneClosedFigureCoveringBodyAndTailOnly) {
  const gdip::Session gdiplus;
  OutlineInput in;
  in.width = 100;
  in.height = 60;
  in.cornerLeftTop = in.cornerRightTop = in.cornerBottomRight = in.cornerBottomLeft = 10;
  in.callOut = true;
  in.callOutPosition = coBottom;
  in.callOutAlign = coMidle;
  in.callOutWidth = 20;
  in.callOutLen = 10;
  const OutlineGeometry geometry = BuildOutlinePath(in).geometry;
  const gdip::UniquePath path = CreateOutlinePath(geometry);
  ASSERT_TRUE(path);
  FillMode mode = FillModeWinding;
  GdipGetPathFillMode(path.get(), &mode);
  EXPECT_EQ(mode, FillModeAlternate);

  INT count = 0;
  ASSERT_EQ(GdipGetPointCount(path.get(), &count), Ok);
  ASSERT_GE(count, 4 * 4 + 3);
  std::vector<GpPointF> points(count);
  std::vector<BYTE> types(count);
  GdipGetPathPoints(path.get(), points.data(), count);
  GdipGetPathTypes(path.get(), types.data(), count);
  EXPECT_EQ(types.front() & PathPointTypePathTypeMask, PathPointTypeStart);
  EXPECT_TRUE(types.back() & PathPointTypeCloseSubpath);
  EXPECT_EQ(std::count_if(types.begin(), types.end(), [](BYTE t) { return (t & PathPointTypePathTypeMask) == 0; }), 1);
  float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
  for (const GpPointF& p : points) {
    left = std::min(left, p.X), right = std::max(right, p.X);
    top = std::min(top, p.Y), bottom = std::max(bottom, p.Y);
  }
  EXPECT_EQ(std::vector<float>({left, top, right, bottom}), std::vector<float>({0, 0, 99, 59}));
  const auto inside = [&](INT x, INT y) {
    BOOL visible = FALSE;
    GdipIsVisiblePathPointI(path.get(), x, y, nullptr, &visible);
    return visible != FALSE;
  };
  EXPECT_TRUE(inside(50, 25)) << "body";
  EXPECT_TRUE(inside(49, 55)) << "tail";
  EXPECT_FALSE(inside(90, 55)) << "beside the tail, below the body";
  EXPECT_FALSE(inside(1, 1)) << "cut off by the rounded corner";

  gdip::UniquePath added;
  GdipCreatePath(FillModeAlternate, added.put());
  GdipAddPathRectangleI(added.get(), 200, 200, 5, 5);
  ReplayOutline(geometry, added.get());
  INT addedCount = 0;
  GdipGetPointCount(added.get(), &addedCount);
  EXPECT_EQ(addedCount, 4 + count);
}

}  // namespace
}  // namespace cardel
