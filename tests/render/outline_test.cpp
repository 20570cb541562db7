#include "render/outline.h"

#include <gtest/gtest.h>

#include <ostream>

#include "common/cardel_interfaces.h"

namespace cardel {

static std::ostream& operator<<(std::ostream& os, const PathLine& l) {
  return os << "Line(" << l.x1 << ',' << l.y1 << " -> " << l.x2 << ',' << l.y2 << ')';
}
static std::ostream& operator<<(std::ostream& os, const PathArc& a) {
  return os << "Arc(" << a.x << ',' << a.y << ' ' << a.width << 'x' << a.height << " from " << a.startAngle
            << " by " << a.sweepAngle << ')';
}
static std::ostream& operator<<(std::ostream& os, const PathClose&) { return os << "Close"; }
static std::ostream& operator<<(std::ostream& os, const BodyRect& b) {
  return os << "Body(" << b.x << ',' << b.y << ' ' << b.width << 'x' << b.height << ')';
}

namespace {

using Figure = std::vector<PathOp>;

PathLine L(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { return {x1, y1, x2, y2}; }
PathArc Arc(int32_t x, int32_t y, int32_t diameter, float start) { return {x, y, diameter, diameter, start, 90}; }
const PathClose kClose;

OutlineInput Box(int32_t width, int32_t height, int16_t radius) {
  OutlineInput in;
  in.width = width;
  in.height = height;
  in.cornerLeftTop = in.cornerRightTop = in.cornerBottomRight = in.cornerBottomLeft = radius;
  return in;
}

// A 100 x 60 box with a 20-wide, 10-long tail; the custom position is 25.
OutlineInput Tailed(int32_t position, int32_t align, int16_t radius = 10) {
  OutlineInput in = Box(100, 60, radius);
  in.callOut = true;
  in.callOutPosition = position;
  in.callOutAlign = align;
  in.callOutWidth = 20;
  in.callOutLen = 10;
  in.callOutCustomPosition = 25;
  return in;
}

template <class Change>
OutlineInput With(OutlineInput in, Change change) {
  change(in);
  return in;
}

void RightAngled(OutlineInput& in) { in.callOutRightTriangle = true; }

struct FigureCase {
  const char* name;
  OutlineInput input;
  Figure figure;
  BodyRect body;
};

void ExpectFigures(const std::vector<FigureCase>& cases) {
  for (const FigureCase& c : cases) {
    SCOPED_TRACE(c.name);
    const OutlineResult result = BuildOutlinePath(c.input);
    ASSERT_FALSE(result.error);
    EXPECT_EQ(result.geometry.figure, c.figure);
    EXPECT_EQ(result.geometry.body, c.body);
  }
}

// A tail on the 100 x 60, radius-10 box: its two lines sit between the corners of their side, and
// that side loses a 10-pixel band of the body.
FigureCase Tail(const char* name, OutlineInput in, PathLine toTip, PathLine fromTip) {
  switch (in.callOutPosition) {
    case coTop:
      return {name, in, {Arc(0, 10, 20, 180), toTip, fromTip, Arc(79, 10, 20, 270), Arc(79, 39, 20, 0), Arc(0, 39, 20, 90),
                         kClose}, {0, 10, 99, 49}};
    case coRight:
      return {name, in, {Arc(0, 0, 20, 180), Arc(69, 0, 20, 270), toTip, fromTip, Arc(69, 39, 20, 0), Arc(0, 39, 20, 90),
                         kClose}, {0, 0, 89, 59}};
    case coBottom:
      return {name, in, {Arc(0, 0, 20, 180), Arc(79, 0, 20, 270), Arc(79, 29, 20, 0), toTip, fromTip, Arc(0, 29, 20, 90),
                         kClose}, {0, 0, 99, 49}};
    default:
      return {name, in, {Arc(10, 0, 20, 180), Arc(79, 0, 20, 270), Arc(79, 39, 20, 0), Arc(10, 39, 20, 90), toTip, fromTip,
                         kClose}, {10, 0, 89, 59}};
  }
}

OutlineInput ShadowTail(int32_t borderPosition, int16_t borderWidth = 3) {
  OutlineInput in = Tailed(coBottom, coFirstCorner);
  in.adjustTailForBorder = true;
  in.borderWidth = borderWidth;
  in.borderPosition = borderPosition;
  return in;
}

TEST(OutlineFigure, CornersAreClampedScaledAndGrownByHalfTheBorder) {
  ExpectFigures({
    {"SquareBoxIsFourSideLines", Box(100, 60, 0),
               {L(0, 0, 99, 0), L(99, 0, 99, 59), L(99, 59, 0, 59), L(0, 59, 0, 0), kClose}, {0, 0, 99, 59}},
    {"RoundBoxIsFourArcs", With(Box(100, 60, 10), [](auto& in) { in.x = 10; in.y = 20; }),
               {Arc(10, 20, 20, 180), Arc(89, 20, 20, 270), Arc(89, 59, 20, 0), Arc(10, 59, 20, 90), kClose},
               {10, 20, 99, 59}},
    {"RadiusLimitedByHeight", Box(100, 60, 40),
               {Arc(0, 0, 58, 180), Arc(41, 0, 58, 270), Arc(41, 1, 58, 0), Arc(0, 1, 58, 90), kClose},
               {0, 0, 99, 59}},
    {"RadiusLimitedByWidth", Box(60, 200, 40),
               {Arc(0, 0, 58, 180), Arc(1, 0, 58, 270), Arc(1, 141, 58, 0), Arc(0, 141, 58, 90), kClose},
               {0, 0, 59, 199}},
    {"SquareLeftCornersDrawTheirSides",
               With(Box(100, 60, 0), [](auto& in) { in.cornerRightTop = 40; in.cornerBottomLeft = 10; }),
               {L(0, 0, 70, 0), Arc(41, 0, 58, 270), L(99, 59, 10, 59), Arc(0, 39, 20, 90), kClose},
               {0, 0, 99, 59}},
    {"SquareRightCornersDrawTheirSides",
               With(Box(100, 60, 0), [](auto& in) { in.cornerLeftTop = in.cornerBottomRight = 10; }),
               {Arc(0, 0, 20, 180), L(99, 0, 99, 49), Arc(79, 39, 20, 0), L(0, 59, 0, 10), kClose},
               {0, 0, 99, 59}},
    {"ScaledRadiusTieRoundsUp", With(Box(100, 60, 5), [](auto& in) { in.dpiScale = 1.5f; }),
               {Arc(0, 0, 16, 180), Arc(83, 0, 16, 270), Arc(83, 43, 16, 0), Arc(0, 43, 16, 90), kClose},
               {0, 0, 99, 59}},
    {"ScaledRadiusTieRoundsDown", With(Box(100, 60, 3), [](auto& in) { in.dpiScale = 1.5f; }),
               {Arc(0, 0, 8, 180), Arc(91, 0, 8, 270), Arc(91, 51, 8, 0), Arc(0, 51, 8, 90), kClose},
               {0, 0, 99, 59}},
    {"HalfBorderGrowsRadiusBeforeScaling",
               With(Box(100, 60, 10), [](auto& in) { in.growRadiiByHalfBorder = true; in.borderWidth = 3; in.dpiScale = 1.25f; }),
               {Arc(0, 0, 30, 180), Arc(69, 0, 30, 270), Arc(69, 29, 30, 0), Arc(0, 29, 30, 90), kClose},
               {0, 0, 99, 59}},
    {"HalfOfFiveBorderRoundsToTwo",
               With(Box(100, 60, 10), [](auto& in) { in.growRadiiByHalfBorder = true; in.borderWidth = 5; }),
               {Arc(0, 0, 24, 180), Arc(75, 0, 24, 270), Arc(75, 35, 24, 0), Arc(0, 35, 24, 90), kClose},
               {0, 0, 99, 59}},
    {"BorderIgnoredWithoutGrowFlag", With(Box(100, 60, 10), [](auto& in) { in.borderWidth = 5; }),
               {Arc(0, 0, 20, 180), Arc(79, 0, 20, 270), Arc(79, 39, 20, 0), Arc(0, 39, 20, 90), kClose},
               {0, 0, 99, 59}},
    {"OnePixelBoxCollapsesToAPoint", Box(1, 1, 10),
               {L(0, 0, 0, 0), L(0, 0, 0, 0), L(0, 0, 0, 0), L(0, 0, 0, 0), kClose}, {0, 0, 0, 0}},
    {"CallOutOffIgnoresTail", With(Tailed(coBottom, coMidle), [](auto& in) { in.callOut = false; }),
               {Arc(0, 0, 20, 180), Arc(79, 0, 20, 270), Arc(79, 39, 20, 0), Arc(0, 39, 20, 90), kClose},
               {0, 0, 99, 59}},
    {"UnknownPositionDrawsNoTail", Tailed(7, coMidle),
               {Arc(0, 0, 20, 180), Arc(79, 0, 20, 270), Arc(79, 39, 20, 0), Arc(0, 39, 20, 90), kClose},
               {0, 0, 99, 59}}
  });
}

TEST(OutlineFigure, TailsBesideSquareCorners) {
  ExpectFigures({
    {"Bottom", Tailed(coBottom, coMidle, 0),
               {L(0, 0, 99, 0), L(99, 0, 99, 49), L(99, 49, 99, 49), L(59, 49, 49, 59), L(49, 59, 39, 49),
                L(0, 49, 0, 0), kClose},
               {0, 0, 99, 49}},
    {"TopFarHalfRightAngled", With(Tailed(coTop, coSecondCorner, 0), RightAngled),
               {L(0, 10, 0, 10), L(79, 10, 99, 0), L(99, 0, 99, 10), L(99, 10, 99, 59), L(99, 59, 0, 59),
                L(0, 59, 0, 10), kClose},
               {0, 10, 99, 49}},
    {"Left", Tailed(coLeft, coFirstCorner, 0),
               {L(10, 0, 99, 0), L(99, 0, 99, 59), L(99, 59, 10, 59), L(10, 59, 10, 59), L(10, 20, 0, 10),
                L(0, 10, 10, 0), kClose},
               {10, 0, 89, 59}},
    {"Right", Tailed(coRight, coMidle, 0),
               {L(0, 0, 89, 0), L(89, 0, 89, 0), L(89, 19, 99, 29), L(99, 29, 89, 39), L(89, 59, 0, 59),
                L(0, 59, 0, 0), kClose},
               {0, 0, 89, 59}},
    // One square corner beside a tail on an otherwise round box: only that corner is pinned.
    {"TopBesideSquareLeftCorner", With(Tailed(coTop, coMidle), [](auto& in) { in.cornerLeftTop = 0; }),
               {L(0, 10, 0, 10), L(34, 10, 44, 0), L(44, 0, 54, 10), Arc(79, 10, 20, 270), Arc(79, 39, 20, 0),
                Arc(0, 39, 20, 90), kClose},
               {0, 10, 99, 49}},
    {"RightBesideSquareTopCorner", With(Tailed(coRight, coFirstCorner), [](auto& in) { in.cornerRightTop = 0; }),
               {Arc(0, 0, 20, 180), L(89, 0, 89, 0), L(89, 0, 99, 10), L(99, 10, 89, 20), Arc(69, 39, 20, 0),
                Arc(0, 39, 20, 90), kClose},
               {0, 0, 89, 59}},
    {"BottomBesideSquareRightCorner",
               With(Tailed(coBottom, coFirstCorner), [](auto& in) { in.cornerBottomRight = 0; }),
               {Arc(0, 0, 20, 180), Arc(79, 0, 20, 270), L(99, 49, 99, 49), L(30, 49, 20, 59), L(20, 59, 10, 49),
                Arc(0, 29, 20, 90), kClose},
               {0, 0, 99, 49}},
    {"LeftBesideSquareBottomCorner",
               With(Tailed(coLeft, coSecondCorner), [](auto& in) { in.cornerBottomLeft = 0; }),
               {Arc(10, 0, 20, 180), Arc(79, 0, 20, 270), Arc(79, 39, 20, 0), L(10, 59, 10, 59), L(10, 59, 0, 49),
                L(0, 49, 10, 39), kClose},
               {10, 0, 89, 59}}
  });
}

TEST(OutlineFigure, TailBaseCappedAndScaled) {
  ExpectFigures({
    // The base is capped to 99 - 5 - 30 = 64 while the tip keeps its place at half the asked 80.
    {"TopBaseCappedBetweenTopCorners",
               With(Tailed(coTop, coFirstCorner), [](auto& in) {
                 in.width = in.height = 100;
                 in.cornerLeftTop = 5;
                 in.cornerRightTop = 30;
                 in.cornerBottomRight = in.cornerBottomLeft = 40;
                 in.callOutWidth = 80;
               }),
               {Arc(0, 10, 10, 180), L(5, 10, 45, 0), L(45, 0, 69, 10), Arc(39, 10, 60, 270), Arc(19, 19, 80, 0),
                Arc(0, 19, 80, 90), kClose},
               {0, 10, 99, 89}},
    // 25 x 1.5 + 3 = 40.5 starts the base at 40.
    {"TopCustomPositionScaled",
               With(Tailed(coTop, coCustomPosition), [](auto& in) { in.x = 3; in.dpiScale = 1.5f; }),
               {Arc(3, 15, 30, 180), L(40, 15, 55, 0), L(55, 0, 70, 15), Arc(72, 15, 30, 270), Arc(72, 29, 30, 0),
                Arc(3, 29, 30, 90), kClose},
               {3, 15, 99, 44}},
    // The border is scaled with the rest: 20 x 1.5 + 3 x 1.5 = 34.5 gives a base of 34.
    {"ShadowBaseUsesScaledBorder", With(ShadowTail(bpOutside), [](auto& in) { in.dpiScale = 1.5f; }),
     {Arc(0, 0, 30, 180), Arc(69, 0, 30, 270), Arc(69, 14, 30, 0), L(49, 44, 30, 59), L(30, 59, 15, 44),
      Arc(0, 14, 30, 90), kClose},
     {0, 0, 99, 44}},
  });
}

TEST(OutlineFigure, IsoscelesTailsAtEachAlignmentOnEachSide) {
  ExpectFigures({
    Tail("TopFirstCorner", Tailed(coTop, coFirstCorner), L(10, 10, 20, 0), L(20, 0, 30, 10)),
    Tail("TopMiddle", Tailed(coTop, coMidle), L(39, 10, 49, 0), L(49, 0, 59, 10)),
    Tail("TopSecondCorner", Tailed(coTop, coSecondCorner), L(69, 10, 79, 0), L(79, 0, 89, 10)),
    Tail("TopCustom", Tailed(coTop, coCustomPosition), L(25, 10, 35, 0), L(35, 0, 45, 10)),
    Tail("RightFirstCorner", Tailed(coRight, coFirstCorner), L(89, 10, 99, 20), L(99, 20, 89, 30)),
    Tail("RightMiddle", Tailed(coRight, coMidle), L(89, 19, 99, 29), L(99, 29, 89, 39)),
    Tail("RightSecondCorner", Tailed(coRight, coSecondCorner), L(89, 29, 99, 39), L(99, 39, 89, 49)),
    Tail("RightCustom", Tailed(coRight, coCustomPosition), L(89, 25, 99, 35), L(99, 35, 89, 45)),
    Tail("BottomFirstCorner", Tailed(coBottom, coFirstCorner), L(30, 49, 20, 59), L(20, 59, 10, 49)),
    Tail("BottomMiddle", Tailed(coBottom, coMidle), L(59, 49, 49, 59), L(49, 59, 39, 49)),
    Tail("BottomSecondCorner", Tailed(coBottom, coSecondCorner), L(89, 49, 79, 59), L(79, 59, 69, 49)),
    Tail("BottomCustom", Tailed(coBottom, coCustomPosition), L(45, 49, 35, 59), L(35, 59, 25, 49)),
    Tail("LeftFirstCorner", Tailed(coLeft, coFirstCorner), L(10, 30, 0, 20), L(0, 20, 10, 10)),
    Tail("LeftMiddle", Tailed(coLeft, coMidle), L(10, 39, 0, 29), L(0, 29, 10, 19)),
    Tail("LeftSecondCorner", Tailed(coLeft, coSecondCorner), L(10, 49, 0, 39), L(0, 39, 10, 29)),
    Tail("LeftCustom", Tailed(coLeft, coCustomPosition), L(10, 45, 0, 35), L(0, 35, 10, 25)),
    Tail("UnknownAlignStartsAtZero", Tailed(coBottom, 9), L(20, 49, 10, 59), L(10, 59, 0, 49)),
    Tail("OddWidthTipRoundsUpToEven", With(Tailed(coBottom, coFirstCorner), [](auto& in) { in.callOutWidth = 15; }),
             L(25, 49, 18, 59), L(18, 59, 10, 49)),
    Tail("OddWidthTipRoundsDownToEven", With(Tailed(coBottom, coFirstCorner), [](auto& in) { in.callOutWidth = 13; }),
             L(23, 49, 16, 59), L(16, 59, 10, 49))
  });
}

TEST(OutlineFigure, RightAngledTailsKeepTheSideOfTheHalfTheyStartIn) {
  ExpectFigures({
    Tail("TopNearHalf", With(Tailed(coTop, coFirstCorner), RightAngled), L(10, 10, 10, 0), L(10, 0, 30, 10)),
    Tail("TopFarHalf", With(Tailed(coTop, coSecondCorner), RightAngled), L(69, 10, 89, 0), L(89, 0, 89, 10)),
    Tail("RightNearHalf", With(Tailed(coRight, coMidle), RightAngled), L(89, 19, 99, 19), L(99, 19, 89, 39)),
    Tail("RightFarHalf", With(With(Tailed(coRight, coCustomPosition), RightAngled), [](auto& in) { in.callOutCustomPosition = 35; }),
             L(89, 35, 99, 55), L(99, 55, 89, 55)),
    Tail("BottomNearHalf", With(Tailed(coBottom, coMidle), RightAngled), L(59, 49, 39, 59), L(39, 59, 39, 49)),
    Tail("BottomFarHalf", With(Tailed(coBottom, coSecondCorner), RightAngled), L(89, 49, 89, 59), L(89, 59, 69, 49)),
    Tail("LeftAtHalfIsNear", With(Tailed(coLeft, coSecondCorner), RightAngled), L(10, 49, 0, 29), L(0, 29, 10, 29)),
    Tail("LeftFarHalf", With(With(Tailed(coLeft, coCustomPosition), RightAngled), [](auto& in) { in.callOutCustomPosition = 35; }),
             L(10, 55, 0, 55), L(0, 55, 10, 35))
  });
  // The far-half test compares an absolute start with a half that ignores the box's offset, so on a
  // box at x = 40 even a first-corner base counts as far.
  const OutlineResult shifted =
      BuildOutlinePath(With(With(Tailed(coBottom, coFirstCorner), RightAngled), [](auto& in) { in.x = 40; }));
  ASSERT_EQ(shifted.geometry.figure.size(), 7u);
  EXPECT_EQ(shifted.geometry.figure[3], PathOp(L(70, 49, 70, 59)));
  EXPECT_EQ(shifted.geometry.figure[4], PathOp(L(70, 59, 50, 49)));
}

// The shadow's tail base follows the border while the tip stays at half the unadjusted 20; a
// half-pixel base goes to the even width (20.5 -> 20, 21.5 -> 22, 18.5 -> 18, 19.5 -> 20).
TEST(OutlineFigure, ShadowTailBaseFollowsTheBorder) {
  ExpectFigures({
    Tail("CentreRoundsDown", ShadowTail(bpCenter, 1), L(30, 49, 20, 59), L(20, 59, 10, 49)),
    Tail("CentreRoundsUp", ShadowTail(bpCenter), L(32, 49, 20, 59), L(20, 59, 10, 49)),
    Tail("Outside", ShadowTail(bpOutside), L(33, 49, 20, 59), L(20, 59, 10, 49)),
    Tail("InsideRoundsDown", ShadowTail(bpInside), L(28, 49, 20, 59), L(20, 59, 10, 49)),
    Tail("InsideRoundsUp", ShadowTail(bpInside, 1), L(30, 49, 20, 59), L(20, 59, 10, 49)),
    Tail("UnknownPosition", ShadowTail(7), L(30, 49, 20, 59), L(20, 59, 10, 49)),
    Tail("FlagOff", With(ShadowTail(bpOutside), [](auto& in) { in.adjustTailForBorder = false; }),
             L(30, 49, 20, 59), L(20, 59, 10, 49))
  });
}

TEST(OutlineOverflow, LengthsBeyondTheirRangesAreOverflow) {
  const struct {
    const char* name;
    OutlineInput input;
  } cases[] = {
    {"WidthBelowRange", Box(INT32_MIN, 60, 0)},
    {"RightEdgeBeyondRange", With(Box(100, 60, 0), [](auto& in) { in.x = INT32_MAX - 50; })},
    {"ScaledRadiusBeyond16Bits", With(Box(100000, 100000, 30000), [](auto& in) { in.dpiScale = 1.25f; })},
    {"DoubledRadiusBeyond16Bits", Box(100000, 100000, 16384)},
    {"ScaledTailWidthBeyond32Bits",
     With(Tailed(coBottom, coMidle), [](auto& in) { in.callOutWidth = INT32_MAX; in.dpiScale = 1.5f; })},
    {"CustomPositionBeyond32Bits",
     With(Tailed(coTop, coCustomPosition), [](auto& in) { in.x = 10; in.callOutCustomPosition = INT32_MAX; })},
  };
  for (const auto& c : cases) EXPECT_EQ(BuildOutlinePath(c.input).error, RenderError::Overflow) << c.name;
  const OutlineResult largest = BuildOutlinePath(Box(40000, 40000, 16383));  // the largest doubled radius fits
  ASSERT_FALSE(largest.error);
  EXPECT_EQ(largest.geometry.figure.front(), PathOp(Arc(0, 0, 32766, 180)));
}

}  // namespace
}  // namespace cardel
