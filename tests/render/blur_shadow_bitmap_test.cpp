#include "render/blur_shadow_bitmap.h"

#include <gtest/gtest.h>

#include <vector>

#include "blur_reference.h"
#include "render/checked_int.h"
#include "render/gdiplus_session.h"

namespace cardel {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

constexpr int32_t kWidth = 7, kHeight = 5;

// Straight (not premultiplied) ARGB, so GDI+ has to convert it on the way into the blur.
uint32_t SourceArgb(int32_t x, int32_t y) {
  const uint32_t alpha = (x * 37 + y * 91) % 5 == 0 ? 0 : (x * 53 + y * 29) % 256;
  return alpha << 24 | 0x00347A5C;
}

std::vector<uint8_t> ReadPixels(GpBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  BitmapData data{};
  data.Width = width;
  data.Height = height;
  data.Stride = width * 4;
  data.PixelFormat = PixelFormat32bppPARGB;
  data.Scan0 = pixels.data();
  const GpRect area(x, y, width, height);
  if (GdipBitmapLockBits(bitmap, &area, ImageLockModeRead | ImageLockModeUserInputBuf, PixelFormat32bppPARGB,
                         &data) == Ok)
    GdipBitmapUnlockBits(bitmap, &data);
  return pixels;
}

class BlurShadowBitmapTest : public testing::Test {
 protected:
  void SetUp() override {
    GdipCreateBitmapFromScan0(kWidth, kHeight, 0, PixelFormat32bppARGB, nullptr, source_.put());
    ASSERT_TRUE(source_);
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x) GdipBitmapSetPixel(source_.get(), x, y, SourceArgb(x, y));
  }

  // What the definition gives for a region of the source, with the alpha GDI+ itself reports.
  std::vector<uint8_t> Expected(int32_t x, int32_t y, int32_t width, int32_t height, int32_t r, ShadowRgb c) {
    const std::vector<uint8_t> region = ReadPixels(source_.get(), x, y, width, height);
    return reference::BlurShadow({region, width, height, static_cast<size_t>(width) * 4}, r, c);
  }

  static void ExpectSize(GpBitmap* bitmap, UINT width, UINT height) {
    UINT w = 0, h = 0;
    PixelFormat format = 0;
    GdipGetImageWidth(bitmap, &w);
    GdipGetImageHeight(bitmap, &h);
    GdipGetImagePixelFormat(bitmap, &format);
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
    EXPECT_EQ(format, PixelFormat32bppPARGB);
  }

  gdip::Session gdiplus_;
  gdip::UniqueBitmap source_;
};

TEST_F(BlurShadowBitmapTest, WholeImageWhenSizeIsZero) {
  const std::vector<uint8_t> before = ReadPixels(source_.get(), 0, 0, kWidth, kHeight);
  const gdip::UniqueBitmap shadow = BlurShadow(source_.get(), RGB(200, 100, 50), 3, 0, 0, 0, 0);
  ASSERT_TRUE(shadow);
  ExpectSize(shadow.get(), kWidth + 6, kHeight + 6);
  EXPECT_EQ(ReadPixels(shadow.get(), 0, 0, kWidth + 6, kHeight + 6),
            Expected(0, 0, kWidth, kHeight, 3, {200, 100, 50}));
  EXPECT_EQ(ReadPixels(source_.get(), 0, 0, kWidth, kHeight), before);
}

TEST_F(BlurShadowBitmapTest, RegionOfTheSource) {
  const gdip::UniqueBitmap shadow = BlurShadow(source_.get(), RGB(1, 2, 3), 2, 2, 1, 4, 3);
  ASSERT_TRUE(shadow);
  ExpectSize(shadow.get(), 8, 7);
  EXPECT_EQ(ReadPixels(shadow.get(), 0, 0, 8, 7), Expected(2, 1, 4, 3, 2, {1, 2, 3}));
}

TEST_F(BlurShadowBitmapTest, NothingWithoutSourceOrRegion) {
  EXPECT_FALSE(BlurShadow(nullptr, 0, 2, 0, 0, 0, 0));
  EXPECT_FALSE(BlurShadow(source_.get(), 0, -1, 0, 0, 0, 0));
  EXPECT_FALSE(BlurShadow(source_.get(), 0, 2, 5, 0, kWidth, kHeight));
  EXPECT_THROW(BlurShadow(source_.get(), 0, kMaxShadowRadius + 1, 0, 0, 0, 0), ArithmeticOverflow);
}

}  // namespace
}  // namespace cardel
