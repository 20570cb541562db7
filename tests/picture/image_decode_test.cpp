#include "picture/image_decode.h"

#include <gtest/gtest.h>

#include "render/gdiplus_session.h"
#include "test_pictures.h"

using namespace Gdiplus::DllExports;

namespace cardel {
namespace {

using testpictures::EncodeBitmap;

struct Size {
  UINT width = 0, height = 0;
  bool operator==(const Size&) const = default;
};

Size SizeOf(Gdiplus::GpImage* image) {
  Size size;
  GdipGetImageWidth(image, &size.width);
  GdipGetImageHeight(image, &size.height);
  return size;
}

uint32_t Stripes(int x, int) { return x % 2 ? 0xFFFF0000u : 0x800000FFu; }

class ImageDecodeTest : public ::testing::Test {
 protected:
  gdip::Session gdiplus_;
};

TEST_F(ImageDecodeTest, DecodesEveryFormatTheControlTakes) {
  const struct {
    const wchar_t* mime;
    int width, height;
  } formats[] = {{L"image/png", 30, 20}, {L"image/jpeg", 17, 9}, {L"image/bmp", 5, 3}};
  for (const auto& f : formats) {
    const std::vector<uint8_t> bytes = EncodeBitmap(f.width, f.height, Stripes, f.mime);
    gdip::UniqueImage image = LoadImageFromBytes(bytes);
    ASSERT_TRUE(image) << f.mime;
    EXPECT_EQ(SizeOf(image.get()), (Size{UINT(f.width), UINT(f.height)})) << f.mime;
  }
  const std::vector<uint8_t> gif =
      testpictures::MakeGif(12, 34, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, [](int x, int y) { return x + y; });
  gdip::UniqueImage decoded = LoadImageFromBytes(gif);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(SizeOf(decoded.get()), (Size{12, 34}));
  const auto pixels = testpictures::ReadPixels(reinterpret_cast<Gdiplus::GpBitmap*>(decoded.get()));
  EXPECT_EQ(pixels[0], 0xFFFF0000u);
  EXPECT_EQ(pixels[1], 0xFF00FF00u);
  EXPECT_EQ(pixels[12 + 2], 0xFFFFFFFFu);

  const std::vector<uint8_t> icon = testpictures::MakeIco(16, 16, 0xFF00FF00);
  gdip::UniqueImage image = LoadImageFromBytes(icon);
  ASSERT_TRUE(image);
  EXPECT_EQ(SizeOf(image.get()), (Size{16, 16}));
}

TEST_F(ImageDecodeTest, KeepsThePixelsAndTheirAlpha) {
  const std::vector<uint8_t> bytes = EncodeBitmap(4, 2, Stripes, L"image/png");
  gdip::UniqueImage image = LoadImageFromBytes(bytes);
  ASSERT_TRUE(image);
  const auto pixels = testpictures::ReadPixels(reinterpret_cast<Gdiplus::GpBitmap*>(image.get()));
  EXPECT_EQ(pixels[0], 0x800000FFu);
  EXPECT_EQ(pixels[1], 0xFFFF0000u);
}

TEST_F(ImageDecodeTest, BytesThatAreNoPictureGiveNothing) {
  const std::string text = "This is a text file, not a picture.\r\n";
  EXPECT_FALSE(LoadImageFromBytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()}));
  EXPECT_FALSE(LoadImageFromBytes({}));
  const std::vector<uint8_t> zeros(64, 0);
  EXPECT_FALSE(LoadImageFromBytes(zeros));
}

// Under Wine some of these cuts crash the decoder itself, so this also shows that none reaches it.
TEST_F(ImageDecodeTest, APngCutAnywhereGivesNothingAndDoesNotCrash) {
  const std::vector<uint8_t> png = EncodeBitmap(40, 30, Stripes, L"image/png");
  for (size_t length = 1; length < png.size(); ++length) {
    EXPECT_FALSE(LoadImageFromBytes(std::span(png).first(length))) << length;
  }
}

TEST_F(ImageDecodeTest, AHugeClaimedSizeFailsOrStaysUndecodedWithoutCrashing) {
  const std::vector<uint8_t> png = testpictures::MakePngClaiming(40000, 40000);
  gdip::UniqueImage image = LoadImageFromBytes(png);
  // Windows decodes lazily and may report the claimed size; Wine refuses at once. Neither may crash.
  if (image) {
    EXPECT_EQ(SizeOf(image.get()), (Size{40000, 40000}));
  }
}

}  // namespace
}  // namespace cardel
