#include "render/inset_polygon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace cardel {
namespace {

using Polygon = std::vector<FloatPoint>;

bool Same(const Polygon& a, const Polygon& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::fabs(a[i].x - b[i].x) > 1e-3f || std::fabs(a[i].y - b[i].y) > 1e-3f) return false;
  return true;
}

TEST(InsetPolygonTest, SidesMoveInwardWhicheverWayTheOutlineRuns) {
  const struct {
    const char* what;
    Polygon outline;
    float distance;
    Polygon expected;
  } cases[] = {
      {"clockwise on screen", {{0, 0}, {100, 0}, {100, 60}, {0, 60}}, 5, {{5, 5}, {95, 5}, {95, 55}, {5, 55}}},
      {"the other way", {{0, 0}, {0, 60}, {100, 60}, {100, 0}}, 5, {{5, 5}, {5, 55}, {95, 55}, {95, 5}}},
      {"repeated and closing points", {{0, 0}, {0, 0}, {100, 0}, {100, 60}, {0, 60}, {0, 0}}, 5,
       {{5, 5}, {95, 5}, {95, 55}, {5, 55}}},
      // A tail on the top side: its tip moves down its axis, its base corners out along the side.
      {"tail", {{0, 20}, {40, 20}, {50, 0}, {60, 20}, {100, 20}, {100, 60}, {0, 60}}, 2,
       {{2, 22}, {41.236f, 22}, {50, 4.472f}, {58.764f, 22}, {98, 22}, {98, 58}, {2, 58}}},
      // A side between two turns, shorter than the move, drops out: the bevel becomes a corner.
      {"small bevel", {{0, 2}, {2, 0}, {100, 0}, {100, 60}, {0, 60}}, 5, {{5, 5}, {95, 5}, {95, 55}, {5, 55}}},
      {"no room inside", {{0, 0}, {8, 0}, {8, 60}, {0, 60}}, 5, {}},
      {"not a polygon", {{0, 0}, {10, 0}}, 1, {}},
  };
  for (const auto& c : cases) EXPECT_TRUE(Same(InsetPolygon(c.outline, c.distance), c.expected)) << c.what;
}

}  // namespace
}  // namespace cardel
