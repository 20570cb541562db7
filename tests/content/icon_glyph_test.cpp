// The icon glyph drawn by DrawCaption: its own alignment and padding, the caption's rotation and
// outline, its opacity, and where its font may come from.
#include <gtest/gtest.h>

#include <utility>

#include "caption_fixture.h"

namespace cardel::testing {
namespace {

constexpr BodyRect kBody{0, 0, 200, 100};
constexpr int32_t kNear = 0, kCentre = 1, kFar = 2;

class IconGlyphTest : public CaptionFixture {
 protected:
  static constexpr double kIconPoints = 24;

  IconGlyphTest() : iconFont_(MakeFont(kIconFamily, kIconPoints)) {
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
  EXPECT_NEAR(flush.right + 1, kBody.width - EmPixels(kIconPoints) / 6 - 1, 2);
  inputs_.IconPaddingX = 4;
  const InkBox padded = Draw(kBody);
  EXPECT_EQ(padded.right, flush.right - 5);
  EXPECT_EQ(padded.top, flush.top);
  EXPECT_EQ(padded.count, flush.count);
  EXPECT_EQ(canvas_.InkOf(kBlue).count, padded.count);
}

TEST_F(IconGlyphTest, AlignsOnItsOwnAndLiesOnTopOfTheCaption) {
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

  // The same glyph as caption and icon at the same place: only the icon's colour shows.
  inputs_.Caption = std::wstring(1, kSolidSquare);
  inputs_.FontName = kIconFamily;
  inputs_.Font = iconFont_.Get();
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kFar;
  inputs_.IconPaddingY = 0;
  EXPECT_EQ(Draw(kBody).count, canvas_.InkOf(kBlue).count);
}

TEST_F(IconGlyphTest, OpacityZeroLeavesOnlyTheCaptionsOutline) {
  inputs_.IconOpacity = 0;
  EXPECT_TRUE(Draw(kBody).Empty());
  inputs_.CaptionBorderWidth = 2;
  const InkBox outlined = Draw(kBody);
  ASSERT_FALSE(outlined.Empty());
  EXPECT_EQ(canvas_.InkOf(kRed).count, outlined.count);
  EXPECT_EQ(canvas_.Read().At(static_cast<int>(outlined.CentreX()), static_cast<int>(outlined.CentreY())), 0u);
}

TEST_F(IconGlyphTest, TurnsWithTheCaptionAboutTheSameCentre) {
  // Both sit on the right, so that a quarter turn keeps them on the surface.
  inputs_.Caption = L"Cap";
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kFar;
  inputs_.IconAlignmentH = kFar;
  Draw(kBody);
  const InkBox icon = canvas_.InkOf(kBlue);
  const InkBox caption = canvas_.InkOf(kBlack);
  inputs_.CaptionAngle = 90;
  Draw(kBody);
  // Clockwise about the control's centre (100, 50): (x, y) goes to (150 - y, x - 50).
  for (const auto& [before, after] : {std::pair{icon, canvas_.InkOf(kBlue)}, std::pair{caption, canvas_.InkOf(kBlack)}}) {
    EXPECT_NEAR(after.CentreX(), 150 - before.CentreY(), 1.5);
    EXPECT_NEAR(after.CentreY(), before.CentreX() - 50, 1.5);
  }
}

TEST_F(IconGlyphTest, HasNoFallbackFontButMayComeFromThePrivateCollection) {
  inputs_.Caption = L"still here";
  inputs_.IconFontName = L"No Such Icon Font";
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

TEST_F(IconGlyphTest, ShadowPassUsesTheShadowColourAndCodesThatAreNoCharacterDrawNothing) {
  inputs_.ShadowArgb = 0xFF204060;
  const InkBox shadow = Draw(kBody, CaptionPass::Shadow);
  ASSERT_FALSE(shadow.Empty());
  EXPECT_EQ(canvas_.InkOf(0xFF204060).count, shadow.count);
  for (int32_t code : {0, -40000, 0x110000, INT32_MIN}) {
    inputs_.IconCharCode = code;
    EXPECT_TRUE(Draw(kBody).Empty()) << code;
  }
}

}  // namespace
}  // namespace cardel::testing
