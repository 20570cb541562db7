// The icon glyph drawn by DrawCaption: its own alignment and padding, the caption's rotation and
// outline, its opacity, and where its font may come from.
#include <gtest/gtest.h>

#include <cmath>

#include "caption_fixture.h"

namespace cardel::testing {
namespace {

constexpr BodyRect kBody{0, 0, 200, 100};
constexpr int32_t kNear = 0, kCentre = 1, kFar = 2;

class IconGlyphTest : public CaptionFixture {
 protected:
  IconGlyphTest() : iconFont_(MakeFont(kIconFamily, 24)) {
    inputs_.Caption.clear();
    inputs_.IconFontName = kIconFamily;
    inputs_.IconFont = iconFont_.Get();
    inputs_.IconCharCode = kSolidSquare;
    inputs_.IconForeColor = RGB(0, 0, 255);
    inputs_.IconOpacity = 100;
    inputs_.ControlSize = SIZE{200, 100};
  }

  ComPtr<IFont> iconFont_;
};

TEST_F(IconGlyphTest, RightAlignedWithPaddingFourAtOnePointTwoFiveEndsFivePixelsFurtherIn) {
  inputs_.IconAlignmentH = kFar;
  inputs_.IconAlignmentV = kCentre;
  inputs_.DpiScale = 1.25f;
  const InkBox flush = Draw(kBody);
  ASSERT_FALSE(flush.Empty());
  const float margin = 32.0f / 6;  // 24 pt is 32 px
  EXPECT_LE(flush.right + 1, kBody.width - margin + 0.5);
  EXPECT_GE(flush.right + 1, kBody.width - margin - 4);

  inputs_.IconPaddingX = 4;
  const InkBox padded = Draw(kBody);
  EXPECT_EQ(padded.right, flush.right - 5);
  EXPECT_EQ(padded.top, flush.top);
  EXPECT_EQ(padded.count, flush.count);
  EXPECT_EQ(canvas_.InkOf(kBlue).count, padded.count);
}

TEST_F(IconGlyphTest, AlignsOnItsOwnWhateverTheCaptionDoes) {
  inputs_.Caption = L"Caption";
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kNear;
  inputs_.IconAlignmentH = inputs_.IconAlignmentV = kFar;
  inputs_.IconPaddingY = 3;
  Draw(kBody);
  const InkBox icon = canvas_.InkOf(kBlue);
  const InkBox caption = canvas_.InkOf(kBlack);
  EXPECT_LT(caption.right, kBody.width / 2);
  EXPECT_LT(caption.bottom, kBody.height / 2);
  EXPECT_GT(icon.left, kBody.width / 2);
  EXPECT_GT(icon.top, kBody.height / 2);
  EXPECT_LE(icon.bottom, kBody.height - 3);
}

TEST_F(IconGlyphTest, OpacityZeroLeavesOnlyTheCaptionsOutline) {
  inputs_.IconOpacity = 0;
  EXPECT_TRUE(Draw(kBody).Empty());

  inputs_.CaptionBorderWidth = 2;
  const InkBox outlined = Draw(kBody);
  ASSERT_FALSE(outlined.Empty());
  EXPECT_EQ(canvas_.InkOf(kRed).count, outlined.count);
  const Pixels pixels = canvas_.Read();
  EXPECT_EQ(pixels.At(static_cast<int>(outlined.CentreX()), static_cast<int>(outlined.CentreY())) >> 24, 0u);
}

TEST_F(IconGlyphTest, TurnsWithTheCaptionAboutTheSameCentre) {
  // Both sit on the right, so that a quarter turn keeps them on the surface.
  inputs_.Caption = L"Cap";
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kFar;
  inputs_.IconAlignmentH = kFar;
  inputs_.IconAlignmentV = kNear;
  Draw(kBody);
  const InkBox icon = canvas_.InkOf(kBlue);
  const InkBox caption = canvas_.InkOf(kBlack);
  inputs_.CaptionAngle = 90;
  Draw(kBody);
  const InkBox turnedIcon = canvas_.InkOf(kBlue);
  const InkBox turnedCaption = canvas_.InkOf(kBlack);
  // Clockwise about the control's centre (100, 50): (x, y) goes to (150 - y, x - 50).
  EXPECT_NEAR(turnedIcon.CentreX(), 150 - icon.CentreY(), 1.5);
  EXPECT_NEAR(turnedIcon.CentreY(), icon.CentreX() - 50, 1.5);
  EXPECT_NEAR(turnedCaption.CentreX(), 150 - caption.CentreY(), 1.5);
  EXPECT_NEAR(turnedCaption.CentreY(), caption.CentreX() - 50, 1.5);
}

TEST_F(IconGlyphTest, LiesOnTopOfTheCaptionAndIsDrawnWithoutOne) {
  inputs_.Caption = std::wstring(1, kSolidSquare);
  inputs_.FontName = kIconFamily;
  inputs_.Font = iconFont_.Get();
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kCentre;
  inputs_.IconAlignmentH = inputs_.IconAlignmentV = kCentre;
  const InkBox both = Draw(kBody);
  EXPECT_EQ(canvas_.InkOf(kBlue).count, both.count);  // the icon covers the caption entirely

  inputs_.Caption.clear();
  EXPECT_EQ(Draw(kBody).count, both.count);
  inputs_.IconCharCode = 0;
  EXPECT_TRUE(Draw(kBody).Empty());
}

TEST_F(IconGlyphTest, HasNoFallbackFontButMayComeFromThePrivateCollection) {
  inputs_.IconFontName = L"No Such Icon Font";
  inputs_.Caption = L"still here";
  Draw(kBody);
  EXPECT_TRUE(canvas_.InkOf(kBlue).Empty());
  EXPECT_FALSE(canvas_.InkOf(kBlack).Empty());

  const PrivateGlyphFont glyphs;
  inputs_.IconFontName = kPrivateFamily;
  inputs_.FontCollection = glyphs.Collection();
  Draw(kBody);
  const InkBox icon = canvas_.InkOf(kBlue);
  EXPECT_GE(icon.count, icon.Width() * icon.Height() * 9 / 10);
}

TEST_F(IconGlyphTest, ShadowPassDrawsTheIconInTheShadowColour) {
  inputs_.ShadowArgb = 0xFF204060;
  const InkBox shadow = Draw(kBody, CaptionPass::Shadow);
  ASSERT_FALSE(shadow.Empty());
  EXPECT_EQ(canvas_.InkOf(0xFF204060).count, shadow.count);
}

TEST_F(IconGlyphTest, CodesThatNameNoCharacterDrawNothing) {
  for (int32_t code : {-40000, 0x110000, INT32_MIN}) {
    inputs_.IconCharCode = code;
    EXPECT_TRUE(Draw(kBody).Empty()) << code;
  }
}

}  // namespace
}  // namespace cardel::testing
