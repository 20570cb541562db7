#include "render/blur_shadow.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

#include "blur_reference.h"
#include "common/checked_int.h"
#include "render/window_divider.h"

namespace cardel {
namespace {

constexpr ShadowRgb kColour{0xC8, 0x64, 0x32};

struct Source {
  int32_t width, height;
  size_t stride;
  std::vector<uint8_t> bytes;
  BgraPixels View() const { return {bytes, width, height, stride}; }
};

Source Opaque(int32_t width, int32_t height) {
  return {width, height, width * 4u, std::vector<uint8_t>(width * 4u * height, 0xFF)};
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

void ExpectShadowColour(const uint8_t* p, int alpha) {
  EXPECT_EQ(std::vector<int>(p, p + 4),
            (std::vector<int>{kColour.blue * alpha / 255, kColour.green * alpha / 255, kColour.red * alpha / 255, alpha}));
}

TEST(BlurShadow, OnePixelAndASquareSpreadAsTheWindowAverage) {
  const Shadow dot = Blur(Opaque(1, 1), 1);
  ASSERT_EQ(std::pair(dot.width, dot.height), std::pair(3, 3));
  for (int32_t i = 0; i < 9; ++i) ExpectShadowColour(dot.At(i % 3, i / 3), 28);

  const Shadow out = Blur(Opaque(10, 10), 2);
  ASSERT_EQ(std::pair(out.width, out.height), std::pair(14, 14));
  EXPECT_EQ(out.Alpha(0, 0), 10);
  EXPECT_EQ(out.Alpha(2, 2), 91);
  EXPECT_EQ(out.Alpha(1, 4), 2 * 5 * 255 / 25);
  for (int32_t y = 0; y < 14; ++y) {
    for (int32_t x = 0; x < 14; ++x) {
      if (x >= 4 && x <= 9 && y >= 4 && y <= 9) ExpectShadowColour(out.At(x, y), 255);
      EXPECT_EQ(out.Alpha(x, y), out.Alpha(13 - x, y)) << x << ',' << y;
      EXPECT_EQ(out.Alpha(x, y), out.Alpha(x, 13 - y)) << x << ',' << y;
      EXPECT_EQ(out.Alpha(x, y), out.Alpha(y, x)) << x << ',' << y;
    }
  }
}

// Every radius 0 ... 20 on random sources narrower and wider than the window, single rows and
// columns, sparse and dense, with padded rows and noise in the colour bytes the blur must ignore.
TEST(BlurShadow, MatchesTheDefinitionBitForBitAtEveryRadius) {
  const struct {
    int32_t width, height;
    size_t padding;    // bytes past each source row
    int coverPercent;  // share of pixels with any alpha
  } shapes[] = {{1, 1, 0, 100}, {1, 17, 0, 60},  {23, 1, 4, 60},  {3, 5, 0, 80},  {7, 41, 12, 30},
                {37, 29, 0, 50}, {64, 48, 8, 95}, {50, 9, 0, 5}, {45, 45, 0, 100}};
  for (const auto& shape : shapes) {
    std::mt19937 random(static_cast<uint32_t>(shape.width * 7919 + shape.height * 31 + shape.coverPercent));
    std::uniform_int_distribution<int> byte(0, 255), percent(0, 99);
    for (int32_t r = 0; r <= 20; ++r) {
      Source s{shape.width, shape.height, shape.width * 4u + shape.padding, {}};
      s.bytes.resize(s.stride * s.height);
      for (auto& b : s.bytes) b = static_cast<uint8_t>(byte(random));
      for (int32_t y = 0; y < s.height; ++y)
        for (int32_t x = 0; x < s.width; ++x) {
          const int roll = percent(random);
          s.bytes[y * s.stride + x * 4 + 3] =
              roll >= shape.coverPercent ? 0 : roll % 3 == 0 ? 255 : static_cast<uint8_t>(byte(random));
        }
      const ShadowRgb colour{static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                             static_cast<uint8_t>(random())};
      ASSERT_EQ(Blur(s, r, colour).bytes, reference::BlurShadow(s.View(), r, colour))
          << shape.width << " x " << shape.height << " radius " << r;
    }
  }
}

TEST(BlurShadow, WritesOnlyThePixelsOfAPaddedTargetAndAnEmptySourceAsMargin) {
  const size_t stride = (3 + 2) * 4 + 8;
  std::vector<uint8_t> target(stride * 4, 0xAB);
  BlurShadowPixels(Opaque(3, 2).View(), 1, kColour, {target, stride});
  for (size_t y = 0; y < 4; ++y) {
    for (size_t i = 20; i < stride; ++i) ASSERT_EQ(target[y * stride + i], 0xAB) << y << ',' << i;
    EXPECT_EQ(target[y * stride + 3], y == 0 || y == 3 ? 255 / 9 : 2 * 255 / 9);
  }
  std::vector<uint8_t> margin(4 * 4 * 7, 0xAB);
  BlurShadowPixels({{}, 0, 3, 0}, 2, kColour, {margin, 16});
  EXPECT_EQ(margin, std::vector<uint8_t>(margin.size(), 0));
}

TEST(BlurShadow, RefusesRadiiAndBuffersThatDoNotFit) {
  const Source s = Opaque(4, 3);
  std::vector<uint8_t> target(6 * 4 * 5);
  EXPECT_NO_THROW(BlurShadowPixels(s.View(), 1, kColour, {target, 24}));
  EXPECT_THROW(BlurShadowPixels(s.View(), 1, kColour, {std::span(target).first(target.size() - 1), 24}),
               std::invalid_argument);
  EXPECT_THROW(BlurShadowPixels(s.View(), 1, kColour, {target, 20}), std::invalid_argument);
  EXPECT_THROW(BlurShadowPixels({s.bytes, 4, 4, 16}, 1, kColour, {target, 24}), std::invalid_argument);
  EXPECT_THROW(BlurShadowPixels({s.bytes, 4, 3, 12}, 1, kColour, {target, 24}), std::invalid_argument);
  EXPECT_THROW(BlurShadowPixels(s.View(), -1, kColour, {target, 24}), std::invalid_argument);
  EXPECT_THROW(BlurShadowPixels(s.View(), kMaxShadowRadius + 1, kColour, {target, 24}), ArithmeticOverflow);
  EXPECT_THROW(ShadowExtent(INT32_MAX - 3, 2), ArithmeticOverflow);
  EXPECT_EQ(ShadowExtent(10, 2), 14);
}

// The multiply-and-shift quotient drifts upwards with the sum, so within each quotient the last sum
// before the next multiple is the one that would first come out one too high.
TEST(WindowDivider, ExactForEveryWindowSumOfEveryRadius) {
  for (uint32_t r = 0; r <= 1450; ++r) {
    const uint32_t area = (2 * r + 1) * (2 * r + 1);
    const WindowDivider divide(area);
    for (uint32_t q = 0; q <= 255; ++q) {
      ASSERT_EQ(divide(q * area), q) << "radius " << r;
      if (q < 255) {
        ASSERT_EQ(divide(q * area + area - 1), q) << "radius " << r;
      }
    }
  }
  EXPECT_EQ(WindowDivider::kMaxArea, 2901u * 2901u);
  EXPECT_LT(255ull * WindowDivider::kMaxArea, 1ull << 31);
  EXPECT_GT(255ull * (2903u * 2903u), (1ull << 31) - 1);
}

}  // namespace
}  // namespace cardel
