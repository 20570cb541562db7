// Pure decisions of the plumbing: how Draw reaches a device context and what a clip leaves of the
// control's own window.
#include <gtest/gtest.h>

#include <array>

#include "ole/draw_route.h"
#include "ole/window_clip.h"

namespace ole {
namespace {

TEST(DrawRouteTest, OnlyThePlainScreenPaintDrawsStraightOnTheDc) {
  const SIZE own{200, 80};
  DcTraits screen;
  DcTraits memory;
  memory.objectType = OBJ_MEMDC;
  DcTraits anisotropic = memory;
  anisotropic.mapMode = MM_ANISOTROPIC;
  DcTraits rotated = screen;
  rotated.identityTransform = false;
  DcTraits enhanced;
  enhanced.objectType = OBJ_ENHMETADC;
  DcTraits printer;
  printer.technology = DT_RASPRINTER;
  DcTraits printerWithoutAlpha = printer;
  printerWithoutAlpha.pixelAlpha = false;
  DcTraits screenClaimingNoAlpha;
  screenClaimingNoAlpha.pixelAlpha = false;
  DcTraits windowsMetafile;
  windowsMetafile.objectType = OBJ_METADC;
  const struct {
    const char* what;
    DcTraits dc;
    SIZE bounds;
    DrawRoute route;
  } cases[] = {
      {"screen at the control's size", screen, own, DrawRoute::Direct},
      {"memory DC at the control's size", memory, own, DrawRoute::Direct},
      {"zoomed", screen, {300, 120}, DrawRoute::BlendBitmap},
      {"screen claiming no alpha", screenClaimingNoAlpha, own, DrawRoute::Direct},
      {"zoomed screen claiming no alpha", screenClaimingNoAlpha, {300, 120}, DrawRoute::BlendBitmap},
      {"mapped", anisotropic, own, DrawRoute::BlendBitmap},
      {"world transform", rotated, own, DrawRoute::BlendBitmap},
      {"enhanced metafile", enhanced, own, DrawRoute::BlendBitmap},
      {"printer that blends", printer, own, DrawRoute::BlendBitmap},
      {"printer that cannot blend", printerWithoutAlpha, own, DrawRoute::OpaqueBitmap},
      {"old-style metafile", windowsMetafile, own, DrawRoute::OpaqueBitmap},
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseDrawRoute(c.dc, c.bounds, own), c.route) << c.what;
}

TEST(DrawRouteTest, SurfaceKeepsTheTargetsPixelsUpToItsLimit) {
  const struct {
    SIZE device, expected;
  } cases[] = {
      {{625, 250}, {625, 250}},
      {{0, -3}, {1, 1}},
      {{20000, 10}, {kMaxSurfaceSide, 10}},
      {{4096, 4096}, {2048, 2048}},
  };
  for (const auto& c : cases) {
    const SIZE size = SurfaceSize(c.device);
    EXPECT_EQ(size.cx, c.expected.cx) << c.device.cx << "x" << c.device.cy;
    EXPECT_EQ(size.cy, c.expected.cy) << c.device.cx << "x" << c.device.cy;
  }
  const RECT spanned = SpannedRect({40, 120}, {240, 40});
  EXPECT_TRUE(EqualRect(&spanned, std::array{RECT{40, 40, 240, 120}}.data()));
}

TEST(WindowClipTest, ClipLeavesThePartInsideInWindowCoordinates) {
  const RECT position{40, 30, 240, 130};
  EXPECT_FALSE(VisiblePartOfWindow(position, {0, 0, 400, 300}));
  EXPECT_FALSE(VisiblePartOfWindow(position, position));
  const struct {
    RECT clip, visible;
  } cases[] = {
      {{0, 0, 200, 300}, {0, 0, 160, 100}},
      {{60, 50, 400, 300}, {20, 20, 200, 100}},
      {{300, 0, 400, 300}, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    const auto visible = VisiblePartOfWindow(position, c.clip);
    ASSERT_TRUE(visible);
    EXPECT_TRUE(EqualRect(&*visible, &c.visible)) << visible->left << "," << visible->top << "," << visible->right
                                                   << "," << visible->bottom;
  }
}

}  // namespace
}  // namespace ole
