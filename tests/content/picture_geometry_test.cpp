#include "content/picture_geometry.h"

#include <gtest/gtest.h>

#include <ostream>

#include "render/checked_int.h"

namespace cardel {

std::ostream& operator<<(std::ostream& os, const IntRect& r) {
  return os << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}

namespace {

constexpr int32_t kLeft = 0, kCentre = 1, kRight = 2;

PictureLayoutInput Picture200x100(BodyRect body = {0, 0, 300, 200}) {
  PictureLayoutInput in;
  in.imageWidth = 200;
  in.imageHeight = 100;
  in.body = body;
  return in;
}

TEST(PlacePictureTest, KeepsTheAspectAndFitsTheSetSize) {
  PictureLayoutInput in = Picture200x100();
  EXPECT_EQ(PlacePicture(in), (IntRect{0, 0, 200, 100}));
  in.setWidth = 100;
  EXPECT_EQ(PlacePicture(in), (IntRect{0, 0, 100, 50}));
  in.setWidth = 400;
  in.setHeight = 100;
  EXPECT_EQ(PlacePicture(in), (IntRect{0, 0, 200, 100}));
  in.setWidth = 0;
  in.setHeight = 25;
  EXPECT_EQ(PlacePicture(in), (IntRect{0, 0, 50, 25}));
}

TEST(PlacePictureTest, GrowsWithTheScreenScale) {
  PictureLayoutInput in = Picture200x100();
  in.dpiScale = 1.5f;
  EXPECT_EQ(PlacePicture(in), (IntRect{0, 0, 300, 150}));
  in.paddingX = 3;
  in.paddingY = 5;
  // 4.5 and 7.5 go to the even neighbours.
  EXPECT_EQ(PlacePicture(in), (IntRect{4, 8, 300, 150}));
}

TEST(PlacePictureTest, CentrePaddingMovesRightAndDown) {
  PictureLayoutInput in = Picture200x100({10, 20, 300, 200});
  in.alignH = kCentre;
  in.alignV = kCentre;
  EXPECT_EQ(PlacePicture(in), (IntRect{60, 70, 200, 100}));
  in.paddingX = 10;
  in.paddingY = 10;
  EXPECT_EQ(PlacePicture(in), (IntRect{70, 80, 200, 100}));
  in.dpiScale = 2;
  in.imageWidth = 100;
  in.imageHeight = 50;
  EXPECT_EQ(PlacePicture(in), (IntRect{80, 90, 200, 100}));
}

TEST(PlacePictureTest, FarEdgesPadInwards) {
  PictureLayoutInput in = Picture200x100({0, 0, 300, 200});
  in.alignH = kRight;
  in.alignV = kRight;
  in.paddingX = 5;
  in.paddingY = 7;
  EXPECT_EQ(PlacePicture(in), (IntRect{95, 93, 200, 100}));
}

TEST(PlacePictureTest, AlignmentsOutsideTheEnumerationStayAtTheBodyWithoutPadding) {
  PictureLayoutInput in = Picture200x100({3, 4, 300, 200});
  in.alignH = 7;
  in.alignV = -1;
  in.paddingX = 10;
  in.paddingY = 10;
  EXPECT_EQ(PlacePicture(in), (IntRect{3, 4, 200, 100}));
  in.alignH = kLeft;
  EXPECT_EQ(PlacePicture(in), (IntRect{13, 4, 200, 100}));
}

TEST(PlacePictureTest, OddCentringRoundsHalvesToEven) {
  PictureLayoutInput in = Picture200x100({0, 0, 301, 201});
  in.imageWidth = 200;
  in.imageHeight = 100;
  in.alignH = kCentre;
  in.alignV = kCentre;
  // 150.5 - 100 and 100.5 - 50.
  EXPECT_EQ(PlacePicture(in), (IntRect{50, 50, 200, 100}));
}

TEST(PlacePictureTest, AbsurdLengthsAreOverflow) {
  PictureLayoutInput in = Picture200x100();
  in.setWidth = 2000000000;
  in.setHeight = 2000000000;
  EXPECT_EQ(PlacePicture(in).width, 2000000000);
  in.dpiScale = 2;
  EXPECT_THROW(PlacePicture(in), ArithmeticOverflow);
  in = Picture200x100({2147483000, 0, 10, 10});
  in.alignH = kRight;
  in.paddingX = -32768;
  EXPECT_THROW(PlacePicture(in), ArithmeticOverflow);
}

TEST(TurnAboutCentreTest, NoTurnDrawsTheRectangleAsItIs) {
  const TurnedRect t = TurnAboutCentre({10, 20, 30, 40}, 0);
  EXPECT_EQ(t.angle, 0.0f);
  EXPECT_EQ(t.originX, 0.0f);
  EXPECT_EQ(t.rect, (IntRect{10, 20, 30, 40}));
}

TEST(TurnAboutCentreTest, ATurnKeepsAPositiveSizeAboutTheTruncatedCentre) {
  const TurnedRect even = TurnAboutCentre({10, 20, 30, 40}, 90);
  EXPECT_EQ(even.angle, 90.0f);
  EXPECT_EQ(even.originX, 25.0f);
  EXPECT_EQ(even.originY, 40.0f);
  EXPECT_EQ(even.rect, (IntRect{-15, -20, 30, 40}));
  // The mirrored construction spans [w\2 - w, w\2] and is turned half round: [-(w\2), w - w\2].
  const TurnedRect odd = TurnAboutCentre({0, 0, 7, 5}, -45);
  EXPECT_EQ(odd.originX, 3.0f);
  EXPECT_EQ(odd.originY, 2.0f);
  EXPECT_EQ(odd.rect, (IntRect{-3, -2, 7, 5}));
}

}  // namespace
}  // namespace cardel
