#include "render/acrylic_blur.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "render/acrylic_blur_kernels.h"

namespace cardel {
namespace {

struct Image {
  int width, height;
  std::vector<uint8_t> bytes;
  Image(int w, int h, uint8_t fill = 0) : width(w), height(h), bytes(size_t(w) * h * 4, fill) {}
  uint8_t& At(int x, int y, int c) { return bytes[(size_t(y) * width + x) * 4 + c]; }
};

Image Blurred(Image image, int radius) {
  std::vector<uint8_t> scratch(image.bytes.size());
  GaussianBlur({image.bytes, image.width, image.height}, scratch, radius);
  return image;
}

// The mean of one clamped window of a row (rows) or column, in floating point.
double WindowMean(const std::vector<double>& in, int w, int h, int x, int y, int c, int r, bool rows) {
  double sum = 0;
  for (int d = -r; d <= r; ++d) {
    const int sx = rows ? std::clamp(x + d, 0, w - 1) : x, sy = rows ? y : std::clamp(y + d, 0, h - 1);
    sum += in[(size_t(sy) * w + sx) * 4 + c];
  }
  return sum / (2 * r + 1);
}

TEST(GaussianBlurTest, IsThreeBoxPassesEachWayWithinOneLevel) {
  const BoxRadii boxes = BoxRadiiForGaussian(25);
  EXPECT_EQ(std::tuple(boxes.first, boxes.second, boxes.third), std::tuple(8, 8, 8));
  EXPECT_EQ(BoxRadiiForGaussian(0).third, 0);
  const BoxRadii mixed = BoxRadiiForGaussian(10);
  EXPECT_TRUE(mixed.first <= mixed.third && mixed.first >= mixed.third - 1);

  Image image(61, 43);
  std::mt19937 random(7);
  for (uint8_t& v : image.bytes) v = static_cast<uint8_t>(random());
  std::vector<double> want(image.bytes.begin(), image.bytes.end()), next(want.size());
  for (bool rows : {true, false})
    for (int r : {boxes.first, boxes.second, boxes.third}) {
      for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
          for (int c = 0; c < 4; ++c)
            next[(size_t(y) * image.width + x) * 4 + c] = WindowMean(want, image.width, image.height, x, y, c, r, rows);
      want.swap(next);
    }
  const Image got = Blurred(image, 25);
  int worst = 0;
  for (size_t i = 0; i < want.size(); ++i) worst = std::max(worst, std::abs(got.bytes[i] - int(want[i] + 0.5)));
  EXPECT_LE(worst, 1);

  const Image uniform = Blurred(Image(37, 23, 173), 25);
  EXPECT_TRUE(std::all_of(uniform.bytes.begin(), uniform.bytes.end(), [](uint8_t v) { return v == 173; }));
}

TEST(GaussianBlurTest, ABlockSpreadsSymmetricallyAndNoFurtherThanTwentyFourPixels) {
  Image image(101, 101);
  for (int y = 45; y <= 55; ++y)
    for (int x = 45; x <= 55; ++x) image.At(x, y, 2) = 255;
  Image out = Blurred(image, 25);
  EXPECT_GT(out.At(50 + 16 + 5, 50, 2), 0);  // the last few levels of the kernel round away
  EXPECT_EQ(out.At(50 + 25 + 5, 50, 2), 0);
  EXPECT_EQ(out.At(50, 50 - 30, 2), 0);
  for (int d = 1; d <= 30; ++d) {
    EXPECT_EQ(out.At(50 + d, 50, 2), out.At(50 - d, 50, 2)) << d;
    EXPECT_NEAR(out.At(50, 50 + d, 2), out.At(50 + d, 50, 2), 1) << d;  // each pass rounds
    EXPECT_LE(out.At(50 + d, 50, 2), out.At(50 + d - 1, 50, 2)) << d;
  }
}

TEST(GaussianBlurTest, MismatchedSizesChangeNothing) {
  Image image(10, 10);
  image.At(5, 5, 0) = 255;
  std::vector<uint8_t> small(10), scratch(image.bytes.size());
  GaussianBlur({image.bytes, 10, 10}, small, 25);
  GaussianBlur({image.bytes, 11, 10}, scratch, 25);
  GaussianBlur({image.bytes, 0, 10}, scratch, 25);
  EXPECT_EQ(image.At(5, 5, 0), 255);
}

TEST(WindowMeanTest, IsExactForEverySumOfEveryWindowUpToTheWidest) {
  for (int window = 3; window <= blur::kWidestExactWindow; window += 2) {
    const blur::WindowMean mean(window);
    ASSERT_LE(mean.multiplier, 0xFFFFu);
    for (uint32_t sum = 0; sum <= 255u * window; ++sum)
      ASSERT_EQ(mean(sum), (sum + window / 2) / window) << window << " " << sum;
  }
}

// The scalar and SSE2 passes agree with each other and with the rounded window mean, for row
// lengths around the vector width and windows wider than the image.
TEST(BlurKernelsTest, RowAndColumnPassesGiveTheExactMeans) {
  if (!blur::HasSse2()) GTEST_SKIP() << "no SSE2";
  for (const auto& [width, r] : {std::pair{37, 1}, {37, 2}, {37, 31}, {37, 63}, {1, 8}, {3, 60}, {4, 1}, {5, 8}, {17, 60}}) {
    const int height = 23;
    std::vector<uint8_t> in(size_t(width) * height * 4), scalar(in.size()), sse2(in.size());
    std::mt19937 random(width * 100 + r);
    for (uint8_t& v : in) v = static_cast<uint8_t>(random());
    const std::vector<double> exact(in.begin(), in.end());
    for (bool rows : {true, false}) {
      SCOPED_TRACE(::testing::Message() << width << " wide, radius " << r << (rows ? " rows" : " columns"));
      const PixelPlane from{in, width, height};
      if (rows) {
        blur::RowsScalar(from, {scalar, width, height}, r);
        blur::RowsSse2(from, {sse2, width, height}, r);
      } else {
        std::vector<uint32_t> sums32(size_t(width) * 4);
        std::vector<uint16_t> sums16(size_t(width) * 4);
        blur::ColumnsScalar(from, {scalar, width, height}, r, sums32.data());
        blur::ColumnsSse2(from, {sse2, width, height}, r, sums16.data());
      }
      EXPECT_EQ(scalar, sse2);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
          for (int c = 0; c < 4; ++c)
            ASSERT_EQ(scalar[(size_t(y) * width + x) * 4 + c],
                      std::lround(WindowMean(exact, width, height, x, y, c, r, rows)));
    }
  }
}

// The blur of a capture that must stay as it is: the same bytes as blurring a copy, source untouched.
TEST(GaussianBlurTest, FromASourceLeavesItAndMatchesBlurringACopy) {
  Image source(61, 29);
  std::mt19937 random(7);
  for (uint8_t& v : source.bytes) v = static_cast<uint8_t>(random());
  const Image kept = source;
  Image out(61, 29);
  std::vector<uint8_t> scratch(out.bytes.size());
  GaussianBlurFrom({source.bytes, 61, 29}, {out.bytes, 61, 29}, scratch, kAcrylicBlurRadius);
  EXPECT_EQ(source.bytes, kept.bytes);
  EXPECT_EQ(out.bytes, Blurred(kept, kAcrylicBlurRadius).bytes);
}

uint32_t Premultiplied(std::mt19937& random) {
  const uint32_t alpha = random() % 4 == 0 ? 255 * (random() % 2) : random() % 256;
  uint32_t pixel = alpha << 24;
  for (int shift = 0; shift < 24; shift += 8) pixel |= (alpha ? random() % (alpha + 1) : 0) << shift;
  return pixel;
}

// The acrylic under the layers above it and over those beneath, cut by its coverage: both passes give
// the same bytes, and the cases with nothing to blend are exact.
TEST(AcrylicComposeTest, PassesAgreeAndTheLimitsAreExact) {
  constexpr size_t n = 257;
  std::mt19937 random(11);
  std::vector<uint32_t> under(n), blurred(n), above(n), scalar(n), sse2(n);
  std::vector<uint8_t> coverage(n);
  for (size_t i = 0; i < n; ++i) {
    under[i] = Premultiplied(random);
    blurred[i] = static_cast<uint32_t>(random());  // its alpha byte is undefined and ignored
    above[i] = Premultiplied(random);
    coverage[i] = i % 3 == 0 ? 255 * (random() % 2) : static_cast<uint8_t>(random());
  }
  const AcrylicComposeInput in{under, blurred, coverage, above};
  blur::ComposeScalar(in, scalar);
  if (blur::HasSse2()) {
    blur::ComposeSse2(in, sse2);
    EXPECT_EQ(scalar, sse2);
  }
  for (size_t i = 0; i < n; ++i) {
    SCOPED_TRACE(i);
    if (above[i] >> 24 == 255) EXPECT_EQ(scalar[i], above[i]);
    if (above[i] == 0 && coverage[i] == 255) EXPECT_EQ(scalar[i], blurred[i] | 0xFF000000u);
    if (above[i] == 0 && coverage[i] == 0) EXPECT_EQ(scalar[i], under[i]);
  }
  std::vector<uint32_t> shorter(n - 1);
  ComposeAcrylic(in, shorter);
  EXPECT_EQ(shorter, std::vector<uint32_t>(n - 1)) << "mismatched lengths change nothing";
}

}  // namespace
}  // namespace cardel
