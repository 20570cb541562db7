#include "render/box_shadow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "control/cardel_interfaces.h"
#include "render/checked_int.h"
#include "render/gdiplus_session.h"

namespace cardel {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// A 100 x 60 control, opaque box, black shadow of size 5 at full opacity.
BoxShadowInput Base() {
  BoxShadowInput in;
  in.backShadow = true;
  in.shadowSize = 5;
  in.shadowColor = RGB(0, 0, 0);
  in.shadowColorOpacity = 100;
  in.backColorOpacity = 100;
  in.clientWidth = 100;
  in.clientHeight = 60;
  return in;
}

struct Pixels {
  UINT width = 0, height = 0;
  std::vector<uint8_t> bgra;
  const uint8_t* At(UINT x, UINT y) const { return &bgra[(static_cast<size_t>(y) * width + x) * 4]; }
  uint8_t Alpha(UINT x, UINT y) const { return At(x, y)[3]; }
};

Pixels Read(GpBitmap* bitmap) {
  Pixels p;
  GdipGetImageWidth(bitmap, &p.width);
  GdipGetImageHeight(bitmap, &p.height);
  p.bgra.resize(static_cast<size_t>(p.width) * p.height * 4);
  BitmapData data{};
  data.Width = p.width;
  data.Height = p.height;
  data.Stride = static_cast<INT>(p.width * 4);
  data.PixelFormat = PixelFormat32bppPARGB;
  data.Scan0 = p.bgra.data();
  const GpRect all(0, 0, static_cast<INT>(p.width), static_cast<INT>(p.height));
  if (GdipBitmapLockBits(bitmap, &all, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppPARGB,
                         &data) == Ok)
    GdipBitmapUnlockBits(bitmap, &data);
  return p;
}

class BoxShadowTest : public testing::Test {
 protected:
  gdip::Session gdiplus_;
};

struct NoShadowCase {
  std::string name;
  std::function<void(BoxShadowInput&)> change;
};

class BoxShadowAbsent : public BoxShadowTest, public testing::WithParamInterface<NoShadowCase> {};

TEST_P(BoxShadowAbsent, NoImage) {
  BoxShadowInput in = Base();
  GetParam().change(in);
  EXPECT_FALSE(RenderBoxShadow(in));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BoxShadowAbsent,
    testing::Values(NoShadowCase{"BackShadowFalse", [](BoxShadowInput& in) { in.backShadow = false; }},
                    NoShadowCase{"ShadowSizeZero", [](BoxShadowInput& in) { in.shadowSize = 0; }},
                    NoShadowCase{"ShadowSizeZeroAtHighDpi",
                                 [](BoxShadowInput& in) {
                                   in.shadowSize = 0;
                                   in.shape.dpiScale = 2.0f;
                                 }},
                    NoShadowCase{"ShadowOpacityZero", [](BoxShadowInput& in) { in.shadowColorOpacity = 0; }},
                    NoShadowCase{"TransparentBoxWithoutBorder",
                                 [](BoxShadowInput& in) {
                                   in.backColorOpacity = 0;
                                   in.shape.borderWidth = 3;
                                 }},
                    NoShadowCase{"NoRoomForTheBox", [](BoxShadowInput& in) { in.clientWidth = 10; }},
                    NoShadowCase{"NoRoomInHeight", [](BoxShadowInput& in) { in.clientHeight = 9; }}),
    [](const testing::TestParamInfo<NoShadowCase>& info) { return info.param.name; });

TEST_F(BoxShadowTest, FilledBoxShadowSpansTheControl) {
  const gdip::UniqueBitmap image = RenderBoxShadow(Base());
  ASSERT_TRUE(image);
  PixelFormat format = 0;
  GdipGetImagePixelFormat(image.get(), &format);
  EXPECT_EQ(format, PixelFormat32bppPARGB);
  const Pixels p = Read(image.get());
  ASSERT_EQ(p.width, 100u);
  ASSERT_EQ(p.height, 60u);
  EXPECT_EQ(p.Alpha(50, 30), 255);
  // The box starts at the image's margin of 5, so its first column reaches the image's edge as one
  // column in eleven.
  EXPECT_EQ(p.Alpha(0, 30), 11 * 255 / 121);
  EXPECT_EQ(p.Alpha(50, 0), 11 * 255 / 121);
  EXPECT_EQ(p.Alpha(0, 0), 255 / 121);
  EXPECT_EQ(p.At(50, 30)[0], 0);
}

TEST_F(BoxShadowTest, OpacityScalesTheShadow) {
  BoxShadowInput in = Base();
  in.shadowColorOpacity = 50;
  in.shadowColor = RGB(255, 255, 255);
  const Pixels p = Read(RenderBoxShadow(in).get());
  ASSERT_EQ(p.width, 100u);
  EXPECT_EQ(p.Alpha(50, 30), 128);
  EXPECT_EQ(p.At(50, 30)[0], 128);
}

TEST_F(BoxShadowTest, BorderRingAloneCastsTheShadowOfATransparentBox) {
  BoxShadowInput in = Base();
  in.backColorOpacity = 0;
  in.border = true;
  in.shape.borderWidth = 2;
  const Pixels ring = Read(RenderBoxShadow(in).get());
  const Pixels filled = Read(RenderBoxShadow(Base()).get());
  ASSERT_EQ(ring.width, 100u);
  ASSERT_EQ(ring.height, 60u);
  EXPECT_EQ(ring.Alpha(50, 30), 0);
  EXPECT_EQ(ring.Alpha(30, 20), 0);
  EXPECT_GT(ring.Alpha(8, 30), 0);
  EXPECT_LT(ring.Alpha(8, 30), filled.Alpha(8, 30));
  EXPECT_GT(ring.Alpha(50, 8), 0);
  EXPECT_EQ(ring.Alpha(0, 30), filled.Alpha(0, 30));
}

TEST_F(BoxShadowTest, SystemColourShadowsInItsCurrentRgb) {
  BoxShadowInput in = Base();
  in.shadowColor = 0x80000000 | COLOR_HIGHLIGHT;
  const Pixels p = Read(RenderBoxShadow(in).get());
  ASSERT_EQ(p.width, 100u);
  const COLORREF rgb = GetSysColor(COLOR_HIGHLIGHT);
  const uint8_t* centre = p.At(50, 30);
  EXPECT_EQ(centre[3], 255);
  EXPECT_EQ(centre[2], GetRValue(rgb));
  EXPECT_EQ(centre[1], GetGValue(rgb));
  EXPECT_EQ(centre[0], GetBValue(rgb));
}

// 3 x 1.5 = 4.5 rounds to the even 4, so the window is 9 wide and the edge column one in nine.
TEST_F(BoxShadowTest, ShadowSizeIsScaledWithHalvesToEven) {
  BoxShadowInput in = Base();
  in.shadowSize = 3;
  in.shape.dpiScale = 1.5f;
  const Pixels p = Read(RenderBoxShadow(in).get());
  ASSERT_EQ(p.width, 100u);
  ASSERT_EQ(p.height, 60u);
  EXPECT_EQ(p.Alpha(0, 30), 9 * 255 / 81);
}

// The shadow follows the border's outer edge, whose corners are rounded by half the border even
// when the box's own are square, so the image's corner pixel sees no shape at all.
TEST_F(BoxShadowTest, CornersGrowByHalfTheBorder) {
  BoxShadowInput in = Base();
  EXPECT_EQ(Read(RenderBoxShadow(in).get()).Alpha(0, 0), 255 / 121);
  in.shape.borderWidth = 10;
  EXPECT_EQ(Read(RenderBoxShadow(in).get()).Alpha(0, 0), 0);
}

// The tail's base widens with the part of the border outside the box and narrows with the part
// inside, so the shadow under the tail is heavier for an outside border than for an inside one.
TEST_F(BoxShadowTest, TailBaseFollowsTheBorderPosition) {
  BoxShadowInput in = Base();
  in.shape.callOut = true;
  in.shape.callOutPosition = coBottom;
  in.shape.callOutAlign = coMidle;
  in.shape.callOutWidth = 20;
  in.shape.callOutLen = 10;
  in.shape.borderWidth = 20;
  auto tailShade = [&](int32_t position) {
    in.shape.borderPosition = position;
    const Pixels p = Read(RenderBoxShadow(in).get());
    int total = 0;
    for (UINT y = 50; y < p.height; ++y)
      for (UINT x = 25; x < 75; ++x) total += p.Alpha(x, y);
    return total;
  };
  EXPECT_GT(tailShade(bpOutside), tailShade(bpInside));
}

TEST_F(BoxShadowTest, AbsurdLengthsAreOverflow) {
  BoxShadowInput in = Base();
  in.shadowSize = 100;
  in.shape.dpiScale = 400.0f;  // the scaled size leaves 16 bits
  EXPECT_THROW(RenderBoxShadow(in), ArithmeticOverflow);
  in.shape.dpiScale = 200.0f;  // the size fits, twice the size does not
  EXPECT_THROW(RenderBoxShadow(in), ArithmeticOverflow);
}

}  // namespace
}  // namespace cardel
