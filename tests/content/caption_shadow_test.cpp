// The caption shadow: where its image lies, and when and at what size the cached image is rebuilt,
// read back as premultiplied pixels.
#include "content/caption_shadow.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <utility>
#include <vector>

#include "common/checked_int.h"
#include "common/gdiplus_session.h"
#include "bitmap_pixels.h"

namespace cardel {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

using Pixels = host::BitmapPixels;
using host::ReadBitmap;

// The caption shadow's image is the body grown by the size; a positive offset moves it once, a
// negative one twice.
TEST(CaptionShadowPlacement, PositiveOffsetOnceOtherwiseTwice) {
  const BodyRect body{10, 20, 80, 40};
  for (const auto& [offset, shift] : {std::pair<int16_t, int>{0, 0}, {3, 3}, {-3, -6}, {1, 1}, {-1, -2}}) {
    EXPECT_EQ(CaptionShadowImageRect(body, {5, offset, 0, 0}), (IntRect{10 - 5 + shift, 20 - 5, 90, 50})) << offset;
    EXPECT_EQ(CaptionShadowImageRect(body, {5, 0, offset, 0}), (IntRect{10 - 5, 20 - 5 + shift, 90, 50})) << offset;
  }
  EXPECT_THROW(CaptionShadowImageRect({INT32_MIN + 4, 0, 10, 10}, {5, 0, 0, 0}), ArithmeticOverflow);
  EXPECT_THROW(CaptionShadowImageRect({0, 0, INT32_MAX - 9, 10}, {5, 0, 0, 0}), ArithmeticOverflow);
}

class CaptionShadowBuild : public testing::Test {
 protected:
  void SetUp() override {
    FONTDESC desc{sizeof(FONTDESC), const_cast<LPOLESTR>(L"Tahoma"), {240000, 0}, FW_BOLD, DEFAULT_CHARSET,
                  FALSE, FALSE, FALSE};
    ASSERT_HRESULT_SUCCEEDED(OleCreateFontIndirect(&desc, IID_PPV_ARGS(&font_)));
    caption_.Caption = L"Hi";
    caption_.Font = font_.Get();
    caption_.CaptionAlignmentH = caption_.CaptionAlignmentV = 1;
    caption_.ShadowArgb = 0xFF000000;
    caption_.ControlSize = {100, 60};
  }
  // Builds from a cache holding a 1 x 1 image; dirty: the flag before, then after.
  gdip::UniqueBitmap Build(bool& dirty) {
    gdip::UniqueBitmap image;
    GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat32bppPARGB, nullptr, image.put());
    BuildCaptionShadow(image, dirty, request_, caption_);
    return image;
  }

  gdip::Session gdiplus_;
  Microsoft::WRL::ComPtr<IFont> font_;
  CaptionInputs caption_;
  CaptionShadowRequest request_{{0, 0, 100, 60}, {3, 0, 0, RGB(0, 0, 0), 100}, 1.0f};
};

TEST_F(CaptionShadowBuild, OnlyADirtyCacheIsRebuiltAtTheBodySizeGrownByTheRadius) {
  bool dirty = false;
  EXPECT_EQ(ReadBitmap(Build(dirty).get()).width, 1u);
  EXPECT_FALSE(dirty);
  dirty = true;
  const Pixels p = ReadBitmap(Build(dirty).get());
  EXPECT_FALSE(dirty);
  EXPECT_EQ(std::pair(p.width, p.height), std::pair(106u, 66u));
  EXPECT_GT(p.Covered(), 0);
  EXPECT_EQ(p.Alpha(0, 0), 0);

  caption_.ShadowArgb = 0;  // zero opacity: built, transparent
  dirty = true;
  EXPECT_EQ(ReadBitmap(Build(dirty).get()).Covered(), 0);
  EXPECT_FALSE(dirty);

  request_.body = {5, 5, 0, 40};  // an empty body: built, no image
  dirty = true;
  EXPECT_FALSE(Build(dirty));
  EXPECT_FALSE(dirty);
}

// Nothing to cast yet: the flag stays set so that the first paint with a caption builds it.
TEST_F(CaptionShadowBuild, NoSizeOrAnIconWithoutCaptionDropsTheImageAndStaysDirty) {
  const CaptionInputs withCaption = caption_;
  for (int icon = 0; icon < 2; ++icon) {
    request_.shadow.size = icon ? 3 : 0;
    caption_ = withCaption;
    if (icon) {
      caption_.Caption.clear();
      caption_.IconCharCode = 0x41;
      caption_.IconFont = caption_.Font;
      caption_.IconOpacity = 100;
    }
    bool dirty = true;
    EXPECT_FALSE(Build(dirty)) << icon;
    EXPECT_TRUE(dirty) << icon;
  }
}

}  // namespace
}  // namespace cardel
