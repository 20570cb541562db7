#include "render/inset_polygon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace cardel {
namespace {

::testing::AssertionResult SamePolygon(const std::vector<FloatPoint>& actual, const std::vector<FloatPoint>& expected) {
  if (actual.size() == expected.size()) {
    bool same = true;
    for (size_t i = 0; i < actual.size(); ++i)
      same = same && std::fabs(actual[i].x - expected[i].x) < 1e-3f && std::fabs(actual[i].y - expected[i].y) < 1e-3f;
    if (same) return ::testing::AssertionSuccess();
  }
  auto failure = ::testing::AssertionFailure();
  for (const FloatPoint& p : actual) failure << "(" << p.x << "," << p.y << ") ";
  return failure;
}

TEST(InsetPolygonTest, SidesMoveInwardWhicheverWayTheOutlineRuns) {
  const struct {
    const char* what;
    std::vector<FloatPoint> outline;
    float distance;
    std::vector<FloatPoint> expected;
  } cases[] = {
      {"clockwise on screen", {{0, 0}, {100, 0}, {100, 60}, {0, 60}}, 5, {{5, 5}, {95, 5}, {95, 55}, {5, 55}}},
      {"the other way round", {{0, 0}, {0, 60}, {100, 60}, {100, 0}}, 5, {{5, 5}, {5, 55}, {95, 55}, {95, 5}}},
      {"repeated points and a closing point",
       {{0, 0}, {0, 0}, {100, 0}, {100, 60}, {100, 60}, {0, 60}, {0, 0}}, 5, {{5, 5}, {95, 5}, {95, 55}, {5, 55}}},
      // A tail on the top side: its tip moves down along its axis, its base corners out along the side.
      {"tail", {{0, 20}, {40, 20}, {50, 0}, {60, 20}, {100, 20}, {100, 60}, {0, 60}}, 2,
       {{2, 22}, {41.236f, 22}, {50, 4.472f}, {58.764f, 22}, {98, 22}, {98, 58}, {2, 58}}},
      // A side between two turns shorter than twice the distance drops out: a bevel becomes a corner.
      {"bevel smaller than the distance", {{0, 2}, {2, 0}, {100, 0}, {100, 60}, {0, 60}}, 5,
       {{5, 5}, {95, 5}, {95, 55}, {5, 55}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(SamePolygon(InsetPolygon(c.outline, c.distance), c.expected));
  }
}

TEST(InsetPolygonTest, NothingIsLeftWhenTheDistanceExceedsTheRoomInside) {
  const std::vector<FloatPoint> box{{0, 0}, {8, 0}, {8, 60}, {0, 60}};
  EXPECT_TRUE(InsetPolygon(box, 5).empty());
  EXPECT_FALSE(InsetPolygon(box, 3.9f).empty());
  EXPECT_TRUE(InsetPolygon(std::vector<FloatPoint>{{0, 0}, {10, 0}}, 1).empty());
}

}  // namespace
}  // namespace cardel
