// The download ring: its box in the body, its arcs, and the quarter arc as pixels.
#include "render/download_ring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "common/gdiplus_session.h"

namespace cardel {
namespace {

using namespace Gdiplus::DllExports;

// The ring takes the picture's place: 50 x 50 for a 200 x 100 control with no set size.
TEST(DownloadRing, BoxTakesThePicturesSizeAndPlace) {
  const auto layout = [](int32_t align, int16_t pad = 0, int32_t setWidth = 0, int32_t setHeight = 0,
                         float dpi = 1.0f) { return RingLayout{200, 100, setWidth, setHeight, align, align, pad, pad, dpi}; };
  constexpr BodyRect kBody{0, 0, 199, 99};
  const struct {
    RingLayout layout;
    BodyRect body;
    IntRect box;
  } cases[] = {
      {layout(1), kBody, {74, 24, 50, 50}},
      {layout(1, 3), kBody, {77, 27, 50, 50}},
      {layout(0, 3), {10, 5, 189, 94}, {13, 8, 50, 50}},
      {layout(2, 3), kBody, {146, 46, 50, 50}},
      {layout(7), {10, 5, 189, 94}, {10, 5, 50, 50}},
      {layout(0, 0, 60, 200), kBody, {0, 0, 30, 30}},
      {layout(0, 0, 0, 0, 1.25f), kBody, {0, 0, 62, 62}},
  };
  for (const auto& c : cases) {
    const IntRect box = DownloadRingBox(c.layout, c.body);
    EXPECT_TRUE(box == c.box) << box.x << ',' << box.y << ' ' << box.width << 'x' << box.height;
  }
}

TEST(DownloadRing, ArcIsTheShareFromTwelveOrASegmentTurning36DegreesAPaint) {
  EXPECT_EQ(ProgressArc(50000, 200000, 0), (RingArc{-90, 90}));
  EXPECT_EQ(ProgressArc(0, 0, 36), (RingArc{-54, 60}));
  int32_t angle = 0;
  for (int paint = 1; paint <= 25; ++paint) EXPECT_EQ(angle = AdvanceSpinner(angle), 36 * paint % 360);
}

// A quarter of 200 000 bytes in a transparent bitmap: the accent colour runs from twelve to three
// o'clock, the bare track everywhere else.
TEST(DownloadRing, AQuarterArcRunsFromTwelveToThree) {
  gdip::Session gdiplus;
  gdip::UniqueBitmap bitmap;
  GdipCreateBitmapFromScan0(100, 100, 0, PixelFormat32bppARGB, nullptr, bitmap.put());
  {
    gdip::UniqueGraphics graphics;
    GdipGetImageGraphicsContext(bitmap.get(), graphics.put());
    DrawDownloadProgress(graphics.get(), {20, 20, 50, 50}, ProgressArc(50000, 200000, 0), 1.0f);
  }
  const auto at = [&](double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    Gdiplus::ARGB pixel = 0;
    GdipBitmapGetPixel(bitmap.get(), 45 + int(std::lround(25 * std::cos(a))), 45 + int(std::lround(25 * std::sin(a))),
                       &pixel);
    return pixel;
  };
  for (double degrees : {-80.0, -45.0, -10.0}) EXPECT_GT(at(degrees) & 0xFF, 0x80u) << degrees;
  for (double degrees : {-100.0, 10.0, 90.0, 180.0}) EXPECT_EQ(at(degrees), 0x80000000u) << degrees;
}

}  // namespace
}  // namespace cardel
