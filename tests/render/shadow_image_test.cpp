// The shadow images: BlurShadow over a GDI+ bitmap and the box shadow with its placement and
// caching rules, read back as premultiplied pixels.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "blur_reference.h"
#include "common/cardel_interfaces.h"
#include "common/checked_int.h"
#include "common/gdiplus_session.h"
#include "render/blur_shadow_bitmap.h"
#include "render/box_shadow.h"
#include "bitmap_pixels.h"

namespace cardel {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

using Pixels = host::BitmapPixels;
using host::ReadBitmap;

class ShadowImageTest : public testing::Test {
 protected:
  gdip::Session gdiplus_;
};

// A 7 x 5 straight-alpha source, so GDI+ has to convert it on the way into the blur.
TEST_F(ShadowImageTest, BlurShadowOfABitmapOrARegionOfItIsTheDefinitionsPremultipliedPixels) {
  gdip::UniqueBitmap source;
  GdipCreateBitmapFromScan0(7, 5, 0, PixelFormat32bppARGB, nullptr, source.put());
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 7; ++x)
      GdipBitmapSetPixel(source.get(), x, y, ((x * 37 + y * 91) % 5 == 0 ? 0 : (x * 53 + y * 29) % 256) << 24 | 0x347A5C);
  const std::vector<uint8_t> before = ReadBitmap(source.get()).bgra;
  const struct {
    int32_t x, y, width, height, r;  // width 0: the whole image
    ShadowRgb colour;
  } cases[] = {{0, 0, 0, 0, 3, {200, 100, 50}}, {2, 1, 4, 3, 2, {1, 2, 3}}};
  for (const auto& c : cases) {
    const Pixels region = ReadBitmap(source.get(), c.x, c.y, c.width ? c.width : 7, c.width ? c.height : 5);
    const gdip::UniqueBitmap shadow =
        BlurShadow(source.get(), RGB(c.colour.red, c.colour.green, c.colour.blue), c.r, c.x, c.y, c.width, c.height);
    ASSERT_TRUE(shadow);
    PixelFormat format = 0;
    GdipGetImagePixelFormat(shadow.get(), &format);
    EXPECT_EQ(format, PixelFormat32bppPARGB);
    const Pixels out = ReadBitmap(shadow.get());
    EXPECT_EQ(std::pair(out.width, out.height), std::pair(region.width + 2 * c.r, region.height + 2 * c.r));
    EXPECT_EQ(out.bgra, reference::BlurShadow({region.bgra, int32_t(region.width), int32_t(region.height),
                                               region.width * 4u}, c.r, c.colour));
  }
  EXPECT_EQ(ReadBitmap(source.get()).bgra, before);
  EXPECT_FALSE(BlurShadow(nullptr, 0, 2, 0, 0, 0, 0));
  EXPECT_FALSE(BlurShadow(source.get(), 0, -1, 0, 0, 0, 0));
  EXPECT_FALSE(BlurShadow(source.get(), 0, 2, 5, 0, 7, 5));
  EXPECT_THROW(BlurShadow(source.get(), 0, kMaxShadowRadius + 1, 0, 0, 0, 0), ArithmeticOverflow);
}

// A 100 x 60 control, opaque box, black shadow of size 5 at full opacity.
BoxShadowInput Base() {
  BoxShadowInput in;
  in.backShadow = true;
  in.shadow = {5, 0, 0, RGB(0, 0, 0), 100};
  in.backColorOpacity = 100;
  in.clientWidth = 100;
  in.clientHeight = 60;
  return in;
}

BoxShadowInput With(std::function<void(BoxShadowInput&)> change) {
  BoxShadowInput in = Base();
  change(in);
  return in;
}

Pixels BoxShadow(const BoxShadowInput& in) {
  const gdip::UniqueBitmap image = RenderBoxShadow(in);
  EXPECT_TRUE(image);
  return image ? ReadBitmap(image.get()) : Pixels{};
}

TEST_F(ShadowImageTest, NoBoxShadowWithoutSizeOpacityOrSomethingToCastIt) {
  const struct {
    const char* what;
    std::function<void(BoxShadowInput&)> change;
  } cases[] = {
      {"BackShadow False", [](auto& in) { in.backShadow = false; }},
      {"size 0", [](auto& in) { in.shadow.size = 0; }},
      {"size 0 at 2 DPI", [](auto& in) { in.shadow.size = 0, in.shape.dpiScale = 2.0f; }},
      {"opacity 0", [](auto& in) { in.shadow.opacity = 0; }},
      {"transparent box without border", [](auto& in) { in.backColorOpacity = 0, in.shape.borderWidth = 3; }},
      {"no room in width", [](auto& in) { in.clientWidth = 10; }},
      {"no room in height", [](auto& in) { in.clientHeight = 9; }},
  };
  for (const auto& c : cases) EXPECT_FALSE(RenderBoxShadow(With(c.change))) << c.what;
}

// The box starts at the image's margin of 5, so its first column reaches the image's edge as one
// column in eleven.
TEST_F(ShadowImageTest, BoxShadowSpansTheControlInTheShadowsColourAndOpacity) {
  const Pixels p = BoxShadow(Base());
  ASSERT_EQ(std::pair(p.width, p.height), std::pair(100u, 60u));
  EXPECT_EQ(p.Alpha(50, 30), 255);
  EXPECT_EQ(p.Alpha(0, 30), 11 * 255 / 121);
  EXPECT_EQ(p.Alpha(50, 0), 11 * 255 / 121);
  EXPECT_EQ(p.Alpha(0, 0), 255 / 121);
  EXPECT_EQ(p.At(50, 30)[0], 0);

  const Pixels half = BoxShadow(With([](auto& in) { in.shadow.opacity = 50, in.shadow.colour = RGB(255, 255, 255); }));
  EXPECT_EQ(half.Alpha(50, 30), 128);
  EXPECT_EQ(half.At(50, 30)[0], 128);

  const COLORREF rgb = GetSysColor(COLOR_HIGHLIGHT);
  const Pixels system = BoxShadow(With([](auto& in) { in.shadow.colour = 0x80000000 | COLOR_HIGHLIGHT; }));
  EXPECT_EQ(std::vector<int>(system.At(50, 30), system.At(50, 30) + 4),
            (std::vector<int>{GetBValue(rgb), GetGValue(rgb), GetRValue(rgb), 255}));

  // 3 x 1.5 = 4.5 rounds to the even 4, so the window is 9 wide and the edge column one in nine.
  EXPECT_EQ(BoxShadow(With([](auto& in) { in.shadow.size = 3, in.shape.dpiScale = 1.5f; })).Alpha(0, 30), 9 * 255 / 81);
}

TEST_F(ShadowImageTest, BoxShadowFollowsTheBorder) {
  const Pixels filled = BoxShadow(Base());
  const Pixels ring =
      BoxShadow(With([](auto& in) { in.backColorOpacity = 0, in.border = true, in.shape.borderWidth = 2; }));
  EXPECT_EQ(ring.Alpha(50, 30), 0);
  EXPECT_EQ(ring.Alpha(30, 20), 0);
  EXPECT_GT(ring.Alpha(8, 30), 0);
  EXPECT_LT(ring.Alpha(8, 30), filled.Alpha(8, 30));
  EXPECT_GT(ring.Alpha(50, 8), 0);
  EXPECT_EQ(ring.Alpha(0, 30), filled.Alpha(0, 30));

  // The border's outer edge is rounded by half the border even on square corners.
  EXPECT_EQ(BoxShadow(With([](auto& in) { in.shape.borderWidth = 10; })).Alpha(0, 0), 0);

  // The tail's base widens with the part of the border outside the box and narrows with the part inside.
  const auto tailShade = [](int32_t position) {
    const Pixels p = BoxShadow(With([position](auto& in) {
      in.shape.callOut = true;
      in.shape.callOutPosition = coBottom;
      in.shape.callOutAlign = coMidle;
      in.shape.callOutWidth = 20;
      in.shape.callOutLen = 10;
      in.shape.borderWidth = 20;
      in.shape.borderPosition = position;
    }));
    int total = 0;
    for (UINT y = 50; y < p.height; ++y)
      for (UINT x = 25; x < 75; ++x) total += p.Alpha(x, y);
    return total;
  };
  EXPECT_GT(tailShade(bpOutside), tailShade(bpInside));

  EXPECT_THROW(RenderBoxShadow(With([](auto& in) { in.shadow.size = 100, in.shape.dpiScale = 400.0f; })),
               ArithmeticOverflow);  // the scaled size leaves 16 bits
  EXPECT_THROW(RenderBoxShadow(With([](auto& in) { in.shadow.size = 100, in.shape.dpiScale = 200.0f; })),
               ArithmeticOverflow);  // twice the size leaves them
}

}  // namespace
}  // namespace cardel
