// Pure decisions of the plumbing: how Draw reaches a device context.
#include <gtest/gtest.h>

#include <climits>

#include "ole/draw_route.h"

namespace ole {
namespace {

DcTraits Traits(DWORD type, int technology, int mapMode = MM_TEXT, bool identity = true, bool alpha = true) {
  return {type, technology, mapMode, identity, alpha};
}

TEST(DrawRouteTest, OnlyThePlainScreenPaintDrawsStraightOnTheDc) {
  const SIZE own{200, 80};
  const struct {
    const char* what;
    DcTraits dc;
    SIZE bounds;
    DrawRoute route;
  } cases[] = {
      {"window at the control's size", Traits(OBJ_DC, DT_RASDISPLAY), own, DrawRoute::Direct},
      {"memory, claiming no alpha", Traits(OBJ_MEMDC, DT_RASDISPLAY, MM_TEXT, true, false), own, DrawRoute::Direct},
      {"zoomed, claiming no alpha", Traits(OBJ_DC, DT_RASDISPLAY, MM_TEXT, true, false), {300, 120},
       DrawRoute::BlendBitmap},
      {"mapped", Traits(OBJ_MEMDC, DT_RASDISPLAY, MM_ANISOTROPIC), own, DrawRoute::BlendBitmap},
      {"world transform", Traits(OBJ_DC, DT_RASDISPLAY, MM_TEXT, false), own, DrawRoute::BlendBitmap},
      {"enhanced metafile", Traits(OBJ_ENHMETADC, DT_RASDISPLAY), own, DrawRoute::BlendBitmap},
      {"printer that blends", Traits(OBJ_DC, DT_RASPRINTER), own, DrawRoute::BlendBitmap},
      {"printer that cannot", Traits(OBJ_DC, DT_RASPRINTER, MM_TEXT, true, false), own, DrawRoute::OpaqueBitmap},
      {"old-style metafile", Traits(OBJ_METADC, DT_METAFILE), own, DrawRoute::OpaqueBitmap},
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseDrawRoute(c.dc, c.bounds, own), c.route) << c.what;
  const SIZE capped = SurfaceSize({20000, 20000});
  EXPECT_EQ(capped.cx, 2048);
  EXPECT_EQ(capped.cy, 2048);
  const SIZE absurd = SpanOf({LONG_MIN, 10, LONG_MAX, 0});
  EXPECT_EQ(absurd.cx, LONG_MAX);
  EXPECT_EQ(absurd.cy, -10);
}

}  // namespace
}  // namespace ole
