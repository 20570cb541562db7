#include "render/blur_shadow.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

#include "blur_reference.h"
#include "render/checked_int.h"

namespace cardel {
namespace {

constexpr ShadowRgb kColour{0xC8, 0x64, 0x32};

// A source image whose colour bytes are noise, since the blur must ignore them.
struct Source {
  int32_t width, height;
  size_t stride;
  std::vector<uint8_t> bytes;
  BgraPixels View() const { return {bytes, width, height, stride}; }
  void SetAlpha(int32_t x, int32_t y, uint8_t a) { bytes[y * stride + x * 4 + 3] = a; }
};

Source MakeSource(int32_t width, int32_t height, size_t padding, std::mt19937& random, int coverPercent) {
  Source s{width, height, width * 4u + padding, {}};
  s.bytes.resize(s.stride * height);
  std::uniform_int_distribution<int> byte(0, 255), percent(0, 99);
  for (auto& b : s.bytes) b = static_cast<uint8_t>(byte(random));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const int roll = percent(random);
      s.SetAlpha(x, y, roll >= coverPercent ? 0 : roll % 3 == 0 ? 255 : static_cast<uint8_t>(byte(random)));
    }
  }
  return s;
}

Source Opaque(int32_t width, int32_t height) {
  Source s{width, height, width * 4u, std::vector<uint8_t>(width * 4u * height, 0xFF)};
  return s;
}

struct Shadow {
  int32_t width, height;
  std::vector<uint8_t> bytes;
  const uint8_t* At(int32_t x, int32_t y) const { return &bytes[(static_cast<size_t>(y) * width + x) * 4]; }
  uint8_t Alpha(int32_t x, int32_t y) const { return At(x, y)[3]; }
};

Shadow Blur(const Source& source, int32_t r, ShadowRgb colour = kColour) {
  Shadow out{source.width + 2 * r, source.height + 2 * r, {}};
  out.bytes.resize(static_cast<size_t>(out.width) * out.height * 4);
  BlurShadowPixels(source.View(), r, colour, {out.bytes, static_cast<size_t>(out.width) * 4});
  return out;
}

TEST(BlurShadow, SinglePixelSpreadsIntoNinthsAtRadiusOne) {
  const Shadow out = Blur(Opaque(1, 1), 1);
  ASSERT_EQ(out.width, 3);
  ASSERT_EQ(out.height, 3);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 3; ++x) {
      const uint8_t* p = out.At(x, y);
      EXPECT_EQ(p[3], 28) << x << ',' << y;
      EXPECT_EQ(p[2], kColour.red * 28 / 255);
      EXPECT_EQ(p[1], kColour.green * 28 / 255);
      EXPECT_EQ(p[0], kColour.blue * 28 / 255);
    }
  }
}

TEST(BlurShadow, OpaqueSquareFadesOverTwiceTheRadius) {
  const Shadow out = Blur(Opaque(10, 10), 2);
  ASSERT_EQ(out.width, 14);
  ASSERT_EQ(out.height, 14);
  EXPECT_EQ(out.Alpha(0, 0), 255 / 25);
  EXPECT_EQ(out.Alpha(2, 2), 9 * 255 / 25);
  EXPECT_EQ(out.Alpha(1, 4), 2 * 5 * 255 / 25);
  for (int32_t y = 4; y <= 9; ++y) {
    for (int32_t x = 4; x <= 9; ++x) {
      const uint8_t* p = out.At(x, y);
      EXPECT_EQ(p[3], 255);
      EXPECT_EQ(p[2], kColour.red);
      EXPECT_EQ(p[1], kColour.green);
      EXPECT_EQ(p[0], kColour.blue);
    }
  }
  for (int32_t y = 0; y < 14; ++y) {
    for (int32_t x = 0; x < 14; ++x) {
      EXPECT_EQ(out.Alpha(x, y), out.Alpha(13 - x, y)) << x << ',' << y;
      EXPECT_EQ(out.Alpha(x, y), out.Alpha(x, 13 - y)) << x << ',' << y;
      EXPECT_EQ(out.Alpha(x, y), out.Alpha(y, x)) << x << ',' << y;
    }
  }
}

struct Shape {
  int32_t width, height;
  size_t padding;   // bytes past each source row
  int coverPercent;  // share of pixels with any alpha
};

// Every radius 0 ... 20 on sources narrower and wider than the window, single rows and columns,
// sparse and dense, with padded rows.
class BlurMatchesDefinition : public testing::TestWithParam<Shape> {};

TEST_P(BlurMatchesDefinition, BitForBitAtEveryRadius) {
  const Shape shape = GetParam();
  std::mt19937 random(static_cast<uint32_t>(shape.width * 7919 + shape.height * 31 + shape.coverPercent));
  for (int32_t r = 0; r <= 20; ++r) {
    const Source s = MakeSource(shape.width, shape.height, shape.padding, random, shape.coverPercent);
    const ShadowRgb colour{static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                           static_cast<uint8_t>(random())};
    const Shadow out = Blur(s, r, colour);
    ASSERT_EQ(out.bytes, reference::BlurShadow(s.View(), r, colour)) << "radius " << r;
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, BlurMatchesDefinition, testing::Values(
    Shape{1, 1, 0, 100}, Shape{1, 17, 0, 60}, Shape{23, 1, 4, 60}, Shape{3, 5, 0, 80}, Shape{7, 41, 12, 30},
    Shape{37, 29, 0, 50}, Shape{64, 48, 8, 95}, Shape{50, 9, 0, 5}, Shape{45, 45, 0, 100}));

TEST(BlurShadow, LeavesTargetRowPaddingAlone) {
  const Source s = Opaque(3, 2);
  const size_t stride = (3 + 2) * 4 + 8;
  std::vector<uint8_t> target(stride * 4, 0xAB);
  BlurShadowPixels(s.View(), 1, kColour, {target, stride});
  for (size_t y = 0; y < 4; ++y) {
    for (size_t i = 20; i < stride; ++i) ASSERT_EQ(target[y * stride + i], 0xAB) << y << ',' << i;
    EXPECT_EQ(target[y * stride + 3], y == 0 || y == 3 ? 255 / 9 : 2 * 255 / 9);
  }
}

TEST(BlurShadow, EmptySourceGivesTransparentMargin) {
  const BgraPixels none{{}, 0, 3, 0};
  std::vector<uint8_t> target(4 * 4 * 7, 0xAB);
  BlurShadowPixels(none, 2, kColour, {target, 16});
  for (uint8_t b : target) ASSERT_EQ(b, 0);
}

TEST(BlurShadow, RefusesRadiusWhoseSumsLeaveThirtyTwoBits) {
  const Source s = Opaque(1, 1);
  std::vector<uint8_t> target;
  EXPECT_THROW(BlurShadowPixels(s.View(), kMaxShadowRadius + 1, kColour, {target, 0}), ArithmeticOverflow);
  EXPECT_THROW(ShadowExtent(INT32_MAX - 3, 2), ArithmeticOverflow);
  EXPECT_EQ(ShadowExtent(10, 2), 14);
}

TEST(BlurShadow, RefusesBuffersTooSmallForTheirSizes) {
  const Source s = Opaque(4, 3);
  std::vector<uint8_t> target(6 * 4 * 5);
  EXPECT_NO_THROW(BlurShadowPixels(s.View(), 1, kColour, {target, 24}));
  EXPECT_THROW(BlurShadowPixels(s.View(), 1, kColour, {std::span(target).first(target.size() - 1), 24}),
               std::invalid_argument);
  EXPECT_THROW(BlurShadowPixels(s.View(), 1, kColour, {target, 20}), std::invalid_argument);
  EXPECT_THROW(BlurShadowPixels({s.bytes, 4, 4, 16}, 1, kColour, {target, 24}), std::invalid_argument);
  EXPECT_THROW(BlurShadowPixels({s.bytes, 4, 3, 12}, 1, kColour, {target, 24}), std::invalid_argument);
  EXPECT_THROW(BlurShadowPixels(s.View(), -1, kColour, {target, 24}), std::invalid_argument);
}

}  // namespace
}  // namespace cardel
