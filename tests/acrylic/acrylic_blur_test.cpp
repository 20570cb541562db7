#include "render/acrylic_blur.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace cardel {
namespace {

struct Image {
  int width, height;
  std::vector<uint8_t> bytes;
  Image(int w, int h, uint8_t fill = 0) : width(w), height(h), bytes(static_cast<size_t>(w) * h * 4, fill) {}
  uint8_t& At(int x, int y, int c) { return bytes[(static_cast<size_t>(y) * width + x) * 4 + c]; }
  PixelPlane Plane() { return {bytes, width, height}; }
};

Image Blurred(Image image, int radius) {
  std::vector<uint8_t> scratch(image.bytes.size());
  GaussianBlur(image.Plane(), scratch, radius);
  return image;
}

// The same three boxes, each taken pixel by pixel over the clamped neighbourhood, in floating point.
std::vector<double> Reference(Image& image, int radius) {
  const BoxRadii boxes = BoxRadiiForGaussian(radius);
  const int w = image.width, h = image.height;
  std::vector<double> a(image.bytes.begin(), image.bytes.end()), b(a.size());
  const auto pass = [&](int r, bool rows) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int c = 0; c < 4; ++c) {
          double sum = 0;
          for (int d = -r; d <= r; ++d) {
            const int sx = rows ? std::clamp(x + d, 0, w - 1) : x, sy = rows ? y : std::clamp(y + d, 0, h - 1);
            sum += a[(static_cast<size_t>(sy) * w + sx) * 4 + c];
          }
          b[(static_cast<size_t>(y) * w + x) * 4 + c] = sum / (2 * r + 1);
        }
    a.swap(b);
  };
  for (bool rows : {true, false}) {
    pass(boxes.first, rows);
    pass(boxes.second, rows);
    pass(boxes.third, rows);
  }
  return a;
}

TEST(BoxRadiiTest, RadiusTwentyFiveIsThreeBoxesOfEight) {
  const BoxRadii r = BoxRadiiForGaussian(25);
  EXPECT_EQ(r.first, 8);
  EXPECT_EQ(r.second, 8);
  EXPECT_EQ(r.third, 8);
  const BoxRadii none = BoxRadiiForGaussian(0);
  EXPECT_EQ(none.third, 0);
  const BoxRadii mixed = BoxRadiiForGaussian(10);
  EXPECT_LE(mixed.first, mixed.third);
  EXPECT_GE(mixed.first, mixed.third - 1);
}

TEST(GaussianBlurTest, AUniformImageStaysExactlyAsItWas) {
  const Image out = Blurred(Image(37, 23, 173), 25);
  EXPECT_TRUE(std::all_of(out.bytes.begin(), out.bytes.end(), [](uint8_t v) { return v == 173; }));
}

TEST(GaussianBlurTest, ABlockSpreadsSymmetricallyAndNoFurtherThanTwentyFourPixels) {
  Image image(101, 101);
  // An 11 x 11 block, for enough weight to show at the kernel's far end.
  for (int y = 45; y <= 55; ++y)
    for (int x = 45; x <= 55; ++x) image.At(x, y, 2) = 255;
  Image out = Blurred(image, 25);
  // The kernel reaches 24 pixels, though its last few levels round away.
  EXPECT_GT(out.At(50 + 16 + 5, 50, 2), 0);
  EXPECT_EQ(out.At(50 + 25 + 5, 50, 2), 0);
  EXPECT_EQ(out.At(50, 50 - 30, 2), 0);
  for (int d = 1; d <= 30; ++d) {
    EXPECT_EQ(out.At(50 + d, 50, 2), out.At(50 - d, 50, 2)) << d;
    // Rows are blurred before columns, each pass rounding to whole levels.
    EXPECT_NEAR(out.At(50, 50 + d, 2), out.At(50 + d, 50, 2), 1) << d;
    EXPECT_LE(out.At(50 + d, 50, 2), out.At(50 + d - 1, 50, 2)) << d;
  }
}

TEST(GaussianBlurTest, MatchesThreeBoxesTakenPixelByPixelWithinOneLevel) {
  Image image(61, 43);
  std::mt19937 random(7);
  for (uint8_t& v : image.bytes) v = static_cast<uint8_t>(random());
  const std::vector<double> want = Reference(image, 25);
  const Image got = Blurred(image, 25);
  int worst = 0;
  for (size_t i = 0; i < want.size(); ++i) worst = std::max(worst, std::abs(got.bytes[i] - int(want[i] + 0.5)));
  EXPECT_LE(worst, 1);
}

TEST(GaussianBlurTest, MismatchedSizesChangeNothing) {
  Image image(10, 10, 0);
  image.At(5, 5, 0) = 255;
  std::vector<uint8_t> small(10);
  GaussianBlur(image.Plane(), small, 25);
  EXPECT_EQ(image.At(5, 5, 0), 255);
  GaussianBlur({image.bytes, 11, 10}, small, 25);
  EXPECT_EQ(image.At(5, 5, 0), 255);
  std::vector<uint8_t> scratch(image.bytes.size());
  GaussianBlur({image.bytes, 0, 10}, scratch, 25);
  EXPECT_EQ(image.At(5, 5, 0), 255);
}

}  // namespace
}  // namespace cardel
