#include "render/caption_shadow.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include "render/checked_int.h"
#include "render/gdiplus_session.h"

namespace cardel {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

struct PlacementCase {
  int16_t offset;
  int32_t shift;  // from the body's corner less the shadow size
};

class CaptionShadowPlacement : public testing::TestWithParam<PlacementCase> {};

TEST_P(CaptionShadowPlacement, PositiveOffsetOnceOtherwiseTwice) {
  const BodyRect body{10, 20, 80, 40};
  const PlacementCase c = GetParam();
  const IntRect across = CaptionShadowImageRect(body, {5, c.offset, 0, 0});
  EXPECT_EQ(across, (IntRect{10 - 5 + c.shift, 20 - 5, 90, 50}));
  const IntRect down = CaptionShadowImageRect(body, {5, 0, c.offset, 0});
  EXPECT_EQ(down, (IntRect{10 - 5, 20 - 5 + c.shift, 90, 50}));
}

INSTANTIATE_TEST_SUITE_P(Offsets, CaptionShadowPlacement,
                         testing::Values(PlacementCase{0, 0}, PlacementCase{3, 3}, PlacementCase{-3, -6},
                                         PlacementCase{1, 1}, PlacementCase{-1, -2}));

TEST(CaptionShadowPlacementLimits, LeavingThirtyTwoBitsIsOverflow) {
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
    caption_.CaptionAlignmentH = 1;
    caption_.CaptionAlignmentV = 1;
    caption_.ShadowArgb = 0xFF000000;
    caption_.ControlSize = {100, 60};
  }

  gdip::UniqueBitmap Sentinel() {
    gdip::UniqueBitmap bitmap;
    GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat32bppPARGB, nullptr, bitmap.put());
    return bitmap;
  }

  static int OpaqueCount(GpBitmap* bitmap, UINT& width, UINT& height) {
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    int count = 0;
    for (UINT y = 0; y < height; ++y) {
      for (UINT x = 0; x < width; ++x) {
        ARGB pixel = 0;
        GdipBitmapGetPixel(bitmap, x, y, &pixel);
        count += (pixel >> 24) != 0;
      }
    }
    return count;
  }

  gdip::Session gdiplus_;
  Microsoft::WRL::ComPtr<IFont> font_;
  CaptionInputs caption_;
  CaptionShadowRequest request_{{0, 0, 100, 60}, 3, 3, RGB(0, 0, 0)};
};

TEST_F(CaptionShadowBuild, CleanCacheIsLeftAlone) {
  gdip::UniqueBitmap image = Sentinel();
  GpBitmap* const before = image.get();
  VARIANT_BOOL dirty = VARIANT_FALSE;
  BuildCaptionShadow(image, dirty, request_, caption_);
  EXPECT_EQ(image.get(), before);
  EXPECT_EQ(dirty, VARIANT_FALSE);
}

TEST_F(CaptionShadowBuild, DirtyCacheIsRebuiltAtBodySizeGrownByTheRadius) {
  gdip::UniqueBitmap image = Sentinel();
  VARIANT_BOOL dirty = VARIANT_TRUE;
  BuildCaptionShadow(image, dirty, request_, caption_);
  ASSERT_TRUE(image);
  EXPECT_EQ(dirty, VARIANT_FALSE);
  UINT width = 0, height = 0;
  EXPECT_GT(OpaqueCount(image.get(), width, height), 0);
  EXPECT_EQ(width, 106u);
  EXPECT_EQ(height, 66u);
  ARGB corner = 1;
  GdipBitmapGetPixel(image.get(), 0, 0, &corner);
  EXPECT_EQ(corner >> 24, 0u);
}

// Nothing to cast yet: the flag stays set so that the first paint with a caption builds it.
TEST_F(CaptionShadowBuild, NoSizeOrNoCaptionDropsTheImageAndStaysDirty) {
  for (auto change : {+[](CaptionShadowRequest& r, CaptionInputs&) { r.shadowSize = 0; },
                      +[](CaptionShadowRequest&, CaptionInputs& c) {
                        c.Caption.clear();
                        c.IconCharCode = 0x41;
                        c.IconFont = c.Font;
                        c.IconOpacity = 100;
                      }}) {
    CaptionShadowRequest request = request_;
    CaptionInputs caption = caption_;
    change(request, caption);
    gdip::UniqueBitmap image = Sentinel();
    VARIANT_BOOL dirty = VARIANT_TRUE;
    BuildCaptionShadow(image, dirty, request, caption);
    EXPECT_FALSE(image);
    EXPECT_EQ(dirty, VARIANT_TRUE);
  }
}

TEST_F(CaptionShadowBuild, ZeroOpacityBuildsATransparentShadow) {
  caption_.ShadowArgb = 0x00000000;
  gdip::UniqueBitmap image;
  VARIANT_BOOL dirty = VARIANT_TRUE;
  BuildCaptionShadow(image, dirty, request_, caption_);
  ASSERT_TRUE(image);
  EXPECT_EQ(dirty, VARIANT_FALSE);
  UINT width = 0, height = 0;
  EXPECT_EQ(OpaqueCount(image.get(), width, height), 0);
}

TEST_F(CaptionShadowBuild, EmptyBodyGivesNoImageButIsBuilt) {
  request_.body = {5, 5, 0, 40};
  gdip::UniqueBitmap image = Sentinel();
  VARIANT_BOOL dirty = VARIANT_TRUE;
  BuildCaptionShadow(image, dirty, request_, caption_);
  EXPECT_FALSE(image);
  EXPECT_EQ(dirty, VARIANT_FALSE);
}

}  // namespace
}  // namespace cardel
