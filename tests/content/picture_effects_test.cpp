#include "content/picture_effects.h"

#include <gtest/gtest.h>

namespace cardel {
namespace {

constexpr float kOff = 0;

void ExpectScale(const ColourMatrix& m, float rr, float gg, float bb) {
  EXPECT_FLOAT_EQ(m[0][0], rr);
  EXPECT_FLOAT_EQ(m[1][1], gg);
  EXPECT_FLOAT_EQ(m[2][2], bb);
}

void ExpectOffsets(const ColourMatrix& m, float r, float g, float b) {
  EXPECT_FLOAT_EQ(m[4][0], r);
  EXPECT_FLOAT_EQ(m[4][1], g);
  EXPECT_FLOAT_EQ(m[4][2], b);
}

TEST(PictureColourMatrixTest, NoEffectIsTheIdentity) {
  const ColourMatrix m = PictureColourMatrix({});
  for (int row = 0; row < 5; ++row)
    for (int c = 0; c < 5; ++c) EXPECT_FLOAT_EQ(m[row][c], row == c ? 1.0f : 0.0f) << row << "," << c;
}

TEST(PictureColourMatrixTest, ColouriseIsDrivenByTheRedInputAndAddsTheTint) {
  const ColourMatrix m = PictureColourMatrix({.colorize = true, .red = 255, .green = 51, .blue = 0});
  EXPECT_FLOAT_EQ(m[0][0], 1.0f);
  EXPECT_FLOAT_EQ(m[0][1], 0.2f);
  EXPECT_FLOAT_EQ(m[0][2], 0.0f);
  EXPECT_FLOAT_EQ(m[1][1], kOff);
  EXPECT_FLOAT_EQ(m[2][2], kOff);
  ExpectOffsets(m, 1.0f, 0.2f, 0.0f);
}

TEST(PictureColourMatrixTest, ContrastIsUsedUndividedAboutMidGrey) {
  const ColourMatrix doubled = PictureColourMatrix({.contrast = 1});
  ExpectScale(doubled, 2, 2, 2);
  ExpectOffsets(doubled, -0.5f, -0.5f, -0.5f);
  const ColourMatrix flat = PictureColourMatrix({.contrast = -1});
  ExpectScale(flat, 0, 0, 0);
  ExpectOffsets(flat, 0.5f, 0.5f, 0.5f);
  const ColourMatrix strong = PictureColourMatrix({.contrast = 100});
  ExpectScale(strong, 101, 101, 101);
  ExpectOffsets(strong, -50, -50, -50);
}

TEST(PictureColourMatrixTest, ContrastReplacesTheColouriseScaleAndOffsets) {
  const ColourMatrix m = PictureColourMatrix({.colorize = true, .red = 255, .green = 255, .blue = 0, .contrast = 1});
  ExpectScale(m, 2, 2, 2);
  // The tint's cross terms of the red row stay.
  EXPECT_FLOAT_EQ(m[0][1], 1.0f);
  ExpectOffsets(m, -0.5f, -0.5f, -0.5f);
}

TEST(PictureColourMatrixTest, GrayscaleReplacesTheScaleButKeepsTheOffsets) {
  const ColourMatrix alone = PictureColourMatrix({.grayscale = true});
  const float weight[3] = {0.299f, 0.587f, 0.114f};
  for (int row = 0; row < 3; ++row)
    for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(alone[row][c], weight[row]);
  ExpectOffsets(alone, 0, 0, 0);

  ExpectOffsets(PictureColourMatrix({.colorize = true, .red = 0, .green = 255, .blue = 0, .grayscale = true}), 0, 1, 0);
  const ColourMatrix contrast = PictureColourMatrix({.contrast = 1, .grayscale = true});
  EXPECT_FLOAT_EQ(contrast[0][0], 0.299f);
  ExpectOffsets(contrast, -0.5f, -0.5f, -0.5f);
  const ColourMatrix all = PictureColourMatrix({.opacity = 40, .contrast = 1, .brightness = 20, .grayscale = true});
  ExpectOffsets(all, -0.3f, -0.3f, -0.3f);
  EXPECT_FLOAT_EQ(all[3][3], 0.4f);
}

}  // namespace
}  // namespace cardel
