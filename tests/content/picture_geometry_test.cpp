#include "content/picture_geometry.h"

#include <gtest/gtest.h>

#include <ostream>

#include "common/checked_int.h"

namespace cardel {

std::ostream& operator<<(std::ostream& os, const IntRect& r) {
  return os << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}

namespace {

constexpr int32_t kLeft = 0, kCentre = 1, kRight = 2;

// A 200 x 100 picture in a 300 x 200 body: aspect-preserving set sizes, scaled size and padding
// (halves to even), alignment with padding towards the middle, none outside the enumeration.
TEST(PlacePicture, SizesAndPlacesThePictureInTheBody) {
  const struct {
    const char* what;
    BodyRect body;
    int32_t setWidth, setHeight, alignH, alignV;
    int16_t padX, padY;
    float dpi;
    IntRect placed;
  } cases[] = {
      {"no set size", {0, 0, 300, 200}, 0, 0, kLeft, kLeft, 0, 0, 1, {0, 0, 200, 100}},
      {"set width 100", {0, 0, 300, 200}, 100, 0, kLeft, kLeft, 0, 0, 1, {0, 0, 100, 50}},
      {"set 400 x 100", {0, 0, 300, 200}, 400, 100, kLeft, kLeft, 0, 0, 1, {0, 0, 200, 100}},
      {"set height 25", {0, 0, 300, 200}, 0, 25, kLeft, kLeft, 0, 0, 1, {0, 0, 50, 25}},
      {"1.5 DPI, padding 4.5 and 7.5", {0, 0, 300, 200}, 0, 0, kLeft, kLeft, 3, 5, 1.5f, {4, 8, 300, 150}},
      {"centred", {10, 20, 300, 200}, 0, 0, kCentre, kCentre, 0, 0, 1, {60, 70, 200, 100}},
      {"centred, padding 10", {10, 20, 300, 200}, 0, 0, kCentre, kCentre, 10, 10, 1, {70, 80, 200, 100}},
      {"centred, padding 10 at 2 DPI", {10, 20, 300, 200}, 100, 0, kCentre, kCentre, 10, 10, 2, {80, 90, 200, 100}},
      {"far edges, padding 5 and 7", {0, 0, 300, 200}, 0, 0, kRight, kRight, 5, 7, 1, {95, 93, 200, 100}},
      {"alignments 7 and -1", {3, 4, 300, 200}, 0, 0, 7, -1, 10, 10, 1, {3, 4, 200, 100}},
      {"left and -1", {3, 4, 300, 200}, 0, 0, kLeft, -1, 10, 10, 1, {13, 4, 200, 100}},
      {"odd centring: 150.5 - 100, 100.5 - 50", {0, 0, 301, 201}, 0, 0, kCentre, kCentre, 0, 0, 1, {50, 50, 200, 100}},
  };
  for (const auto& c : cases) {
    PictureLayoutInput in;
    in.imageWidth = 200;
    in.imageHeight = 100;
    in.body = c.body;
    in.setWidth = c.setWidth;
    in.setHeight = c.setHeight;
    in.alignH = c.alignH;
    in.alignV = c.alignV;
    in.paddingX = c.padX;
    in.paddingY = c.padY;
    in.dpiScale = c.dpi;
    EXPECT_EQ(PlacePicture(in), c.placed) << c.what;
  }
}

TEST(PlacePicture, AbsurdLengthsAreOverflow) {
  PictureLayoutInput in;
  in.imageWidth = 200;
  in.imageHeight = 100;
  in.setWidth = in.setHeight = 2000000000;
  EXPECT_EQ(PlacePicture(in).width, 2000000000);
  in.dpiScale = 2;
  EXPECT_THROW(PlacePicture(in), ArithmeticOverflow);
  in = {.imageWidth = 200, .imageHeight = 100};
  in.body = {2147483000, 0, 10, 10};
  in.alignH = kRight;
  in.paddingX = -32768;
  EXPECT_THROW(PlacePicture(in), ArithmeticOverflow);
}

// The mirrored construction spans [w\2 - w, w\2] and is turned half round: [-(w\2), w - w\2],
// about the truncated centre, with a positive size.
TEST(TurnAboutCentre, KeepsAPositiveSizeAboutTheTruncatedCentre) {
  const TurnedRect none = TurnAboutCentre({10, 20, 30, 40}, 0);
  EXPECT_EQ(std::tuple(none.angle, none.originX, none.rect), std::tuple(0.0f, 0.0f, IntRect{10, 20, 30, 40}));
  const TurnedRect even = TurnAboutCentre({10, 20, 30, 40}, 90);
  EXPECT_EQ(std::tuple(even.angle, even.originX, even.originY, even.rect),
            std::tuple(90.0f, 25.0f, 40.0f, IntRect{-15, -20, 30, 40}));
  const TurnedRect odd = TurnAboutCentre({0, 0, 7, 5}, -45);
  EXPECT_EQ(std::tuple(odd.originX, odd.originY, odd.rect), std::tuple(3.0f, 2.0f, IntRect{-3, -2, 7, 5}));
}

}  // namespace
}  // namespace cardel
