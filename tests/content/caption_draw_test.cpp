// The caption and its icon glyph drawn straight onto an off-screen surface: where the ink lands for
// each alignment, padding, wrapping, trimming, prefix and rotation setting, what measure mode
// reports, and which font each is drawn in. This Wine draws without anti-aliasing, so ink is exact.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "caption_fixture.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel::testing {
namespace {

constexpr BodyRect kBody{10, 10, 280, 180};
constexpr int32_t kNear = 0, kCentre = 1, kFar = 2;

bool IsInk(uint32_t argb) { return (argb >> 24) != 0; }

// Lengths of the runs of ink along one row, left to right.
std::vector<int> RunsInRow(const Pixels& pixels, int y) {
  std::vector<int> runs;
  for (int x = 0, run = 0; x <= pixels.width; ++x) {
    if (x < pixels.width && IsInk(pixels.At(x, y))) {
      ++run;
    } else if (run) {
      runs.push_back(run);
      run = 0;
    }
  }
  return runs;
}

gdip::UniqueFont TahomaFont(float emPixels) {
  gdip::UniqueFontFamily family;
  GdipCreateFontFamilyFromName(L"Tahoma", nullptr, family.put());
  gdip::UniqueFont font;
  GdipCreateFont(family.get(), emPixels, FontStyleRegular, UnitPixel, font.put());
  return font;
}

using CaptionDrawTest = CaptionFixture;

TEST_F(CaptionDrawTest, AlignsInThePaddedBodyAndGrowsThePaddingWithTheDpi) {
  inputs_.Caption = L"Hello";
  const float margin = EmPixels(kPoints) / 6;
  for (float dpi : {1.0f, 1.5f}) {
    for (int32_t align : {kNear, kCentre, kFar}) {
      SCOPED_TRACE(::testing::Message() << "dpi " << dpi << " alignment " << align);
      inputs_.DpiScale = dpi;
      inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = align;
      inputs_.CaptionPaddingX = inputs_.CaptionPaddingY = 0;
      const InkBox flush = Draw(kBody);
      inputs_.CaptionPaddingX = 10;
      inputs_.CaptionPaddingY = 6;
      const InkBox padded = Draw(kBody);
      // Padding only moves the text: by the scaled padding towards the middle, not at all when centred.
      const int towardsMiddle = align == kNear ? 1 : align == kFar ? -1 : 0;
      EXPECT_EQ(padded.left - flush.left, towardsMiddle * std::lround(10 * dpi));
      EXPECT_EQ(padded.top - flush.top, towardsMiddle * std::lround(6 * dpi));
      EXPECT_EQ(padded.count, flush.count);
      if (align == kNear) {
        EXPECT_NEAR(flush.left, kBody.x + margin + 1, 2);
        EXPECT_NEAR(flush.top, kBody.y + 5, 5);
      } else if (align == kFar) {
        EXPECT_NEAR(flush.right + 1, kBody.x + kBody.width - margin - 1, 2);
        EXPECT_NEAR(flush.bottom + 1, kBody.y + kBody.height - 5, 5);
      } else {
        EXPECT_NEAR(flush.CentreX(), kBody.x + kBody.width / 2.0, 1.5);
        EXPECT_NEAR(flush.CentreY(), kBody.y + kBody.height / 2.0, 4);
      }
    }
  }
}

TEST_F(CaptionDrawTest, WrapsAndCentresLikeDrawStringWhereThatWorks) {
  // This Wine's GdipDrawString wraps and centres (it only fails to trim); the caption's lines land
  // where its lines do.
  const gdip::UniqueFont font = TahomaFont(EmPixels(kPoints));
  GpSolidFill* solid = nullptr;
  GdipCreateSolidFill(kBlack, &solid);
  const gdip::UniqueBrush black(solid);
  const RectF area(10, 10, 200, 150);
  for (const wchar_t* text : {L"Wrapped caption text that runs over three lines", L"Short words on many lines go here",
                              L"Centred\nby hand\nthree"}) {
    for (int32_t align : {kNear, kCentre, kFar}) {
      SCOPED_TRACE(::testing::Message() << "alignment " << align);
      inputs_.Caption = text;
      inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = align;
      const InkBox caption = Draw({10, 10, 200, 150});
      gdip::UniqueStringFormat format;
      GdipCreateStringFormat(0, LANG_NEUTRAL, format.put());
      GdipSetStringFormatAlign(format.get(), static_cast<StringAlignment>(align));
      GdipSetStringFormatLineAlign(format.get(), static_cast<StringAlignment>(align));
      canvas_.Clear();
      GdipDrawString(canvas_.Graphics(), text, -1, font.get(), &area, format.get(), black.get());
      const InkBox reference = canvas_.Ink();
      EXPECT_NEAR(caption.top, reference.top, 1);
      EXPECT_NEAR(caption.bottom, reference.bottom, 1);
      const double aside = align == kNear  ? caption.left - reference.left
                           : align == kFar ? caption.right - reference.right
                                           : caption.CentreX() - reference.CentreX();
      EXPECT_NEAR(aside, 0, align == kCentre ? 2 : 1);
    }
  }
}

TEST_F(CaptionDrawTest, WordWrapFalseKeepsOneLineAndTrimmingEndsItInsideTheBody) {
  const float lineHeight = EmPixels(kPoints) * 1.2f;
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kNear;
  inputs_.Caption = L"one two three four five six";
  const BodyRect narrow{10, 10, 100, 180};
  EXPECT_GT(Draw(narrow).Height(), 2 * lineHeight);
  inputs_.WordWrap = false;
  const InkBox single = Draw(narrow);
  EXPECT_LT(single.Height(), lineHeight);
  EXPECT_GT(single.right, narrow.x + narrow.width);  // untrimmed, it runs on past the body

  inputs_.Caption = std::wstring(40, L'H');  // no descenders: the ellipsis dots sit lowest
  const BodyRect body{10, 10, 160, 40};
  inputs_.CaptionTriming = 3;
  const InkBox dotted = Draw(body);
  EXPECT_LE(dotted.right, body.x + body.width - 3);
  EXPECT_GE(dotted.right, body.x + body.width - 20);
  const InkBox lastDot = FindInk(canvas_.Read(), IsInk, dotted.right - 1, 0, dotted.right + 1);
  EXPECT_LE(lastDot.Height(), 4);
  EXPECT_EQ(lastDot.bottom, dotted.bottom);

  inputs_.CaptionTriming = 1;  // character trimming ends on a whole letter: the stem of an H
  const InkBox cut = Draw(body);
  EXPECT_LE(cut.right, body.x + body.width - 3);
  EXPECT_EQ(FindInk(canvas_.Read(), IsInk, cut.right - 1, 0, cut.right + 1).Height(), cut.Height());
}

TEST_F(CaptionDrawTest, ShowPrefixUnderlinesTheMarkedLetterInsteadOfDrawingTheAmpersand) {
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kNear;
  inputs_.Caption = L"Save";
  const InkBox plain = Draw(kBody);
  inputs_.Caption = L"&Save";
  inputs_.CaptionShowPrefix = true;
  Draw(kBody);
  const Pixels pixels = canvas_.Read();
  const InkBox letters = FindInk(pixels, IsInk, 0, 0, kWidth, plain.bottom + 1);
  EXPECT_EQ(letters.left, plain.left);
  EXPECT_EQ(letters.count, plain.count);
  const InkBox underline = FindInk(pixels, IsInk, 0, plain.bottom + 1);
  ASSERT_FALSE(underline.Empty());
  EXPECT_LE(underline.left, plain.left + 1);
  EXPECT_LT(underline.right, plain.left + plain.Width() / 2);  // under the S only
  EXPECT_LE(underline.Height(), 3);

  inputs_.CaptionShowPrefix = false;
  const InkBox literal = Draw(kBody);
  EXPECT_GT(literal.Width(), plain.Width() + 8);  // the ampersand is drawn
  EXPECT_EQ(literal.bottom, plain.bottom);
}

TEST_F(CaptionDrawTest, UnderlineAndStrikeoutRunUnbrokenAcrossTheLine) {
  const ComPtr<IFont> ruled = MakeFont(L"Tahoma", kPoints, false, true, true);
  inputs_.Font = ruled.Get();
  inputs_.Caption = L"ruled";
  const InkBox ink = Draw(kBody);
  const Pixels pixels = canvas_.Read();
  int fullRows = 0;
  for (int y = ink.top; y <= ink.bottom; ++y) {
    const std::vector<int> runs = RunsInRow(pixels, y);
    fullRows += runs.size() == 1 && runs[0] >= ink.Width() - 2;
  }
  EXPECT_GE(fullRows, 2);  // a row of each rule at least, not cut where it crosses a stem
}

TEST_F(CaptionDrawTest, OutlineWidthStaysInPixelsAtAnyDpi) {
  const ComPtr<IFont> large = MakeFont(L"Tahoma", 48);
  inputs_.Font = large.Get();
  inputs_.Caption = L"I";
  inputs_.ForeColorOpacity = 0;
  inputs_.CaptionBorderWidth = 2;
  const InkBox outline = Draw(kBody);
  const Pixels atOne = canvas_.Read();
  EXPECT_EQ(RunsInRow(atOne, (outline.top + outline.bottom) / 2), (std::vector<int>{2, 2}));  // the stem's edges
  EXPECT_EQ(canvas_.InkOf(kRed).count, outline.count);  // no fill, only the red outline
  inputs_.DpiScale = 2;
  Draw(kBody);
  EXPECT_EQ(canvas_.Read().argb, atOne.argb);
  inputs_.CaptionBorderWidth = 0;
  EXPECT_TRUE(Draw(kBody).Empty());
}

TEST_F(CaptionDrawTest, TurnsAboutTheControlCentreInsideTheCallersTransform) {
  inputs_.Caption = L"Turn";
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kNear;
  const BodyRect body{60, 40, 200, 120};  // not centred on the 300 x 200 control
  const InkBox upright = Draw(body);
  inputs_.CaptionAngle = 90;
  const InkBox turned = Draw(body);
  // Clockwise about (150, 100): (x, y) goes to (250 - y, x - 50).
  EXPECT_NEAR(turned.CentreX(), 250 - upright.CentreY(), 1.5);
  EXPECT_NEAR(turned.CentreY(), upright.CentreX() - 50, 1.5);
  EXPECT_NEAR(turned.Width(), upright.Height(), 1);

  // The caller's paint origin moves the turned caption and is still set afterwards.
  GdipTranslateWorldTransform(canvas_.Graphics(), 10, 20, MatrixOrderAppend);
  const InkBox moved = Draw(body);
  EXPECT_EQ(moved.left, turned.left + 10);
  EXPECT_EQ(moved.top, turned.top + 20);
  EXPECT_EQ(moved.count, turned.count);
  gdip::UniqueMatrix after;
  GdipCreateMatrix(after.put());
  GdipGetWorldTransform(canvas_.Graphics(), after.get());
  REAL elements[6] = {};
  GdipGetMatrixElements(after.get(), elements);
  EXPECT_EQ(std::vector<REAL>(elements, elements + 6), (std::vector<REAL>{1, 0, 0, 1, 10, 20}));
}

TEST_F(CaptionDrawTest, ShadowPassTurnsAboutTheBitmapCentreInTheShadowColour) {
  inputs_.Caption = L"Shade";
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kNear;
  inputs_.CaptionBorderWidth = 1;
  inputs_.ShadowArgb = 0xFF336699;
  const BodyRect bitmap{0, 0, 180, 80};
  const InkBox upright = Draw(bitmap, CaptionPass::Shadow);
  EXPECT_EQ(canvas_.InkOf(0xFF336699).count, upright.count);  // fill and outline alike
  inputs_.CaptionAngle = 180;
  const InkBox turned = Draw(bitmap, CaptionPass::Shadow);
  EXPECT_NEAR(turned.CentreX(), 180 - upright.CentreX(), 1);
  EXPECT_NEAR(turned.CentreY(), 80 - upright.CentreY(), 1);
}

TEST_F(CaptionDrawTest, MeasureModeReportsGdiPlusOwnBoxWithoutDrawing) {
  inputs_.Caption = L"A caption long enough to need a few lines when it is laid out three hundred pixels wide";
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kNear;
  BodyRect rect{0, 0, 300, 0};
  ASSERT_TRUE(DrawCaption(canvas_.Graphics(), rect, inputs_, CaptionPass::Measure).fontFound);
  EXPECT_TRUE(canvas_.Ink().Empty());
  EXPECT_EQ(rect.x, 0);
  EXPECT_EQ(rect.y, 0);

  // GDI+'s own measurement at the font's design size, where hinting plays no part.
  gdip::UniqueFontFamily family;
  GdipCreateFontFamilyFromName(L"Tahoma", nullptr, family.put());
  UINT16 designEm = 0;
  GdipGetEmHeight(family.get(), FontStyleRegular, &designEm);
  const float scale = EmPixels(kPoints) / designEm;
  const gdip::UniqueFont font = TahomaFont(designEm);
  gdip::UniqueStringFormat format;
  GdipCreateStringFormat(0, LANG_NEUTRAL, format.put());
  const RectF layout(0, 0, 300 / scale, 0);
  RectF box;
  INT fitted = 0, lines = 0;
  GdipMeasureString(canvas_.Graphics(), inputs_.Caption.c_str(), -1, font.get(), &layout, format.get(), &box, &fitted,
                    &lines);
  EXPECT_GE(lines, 3);
  EXPECT_NEAR(rect.width, box.Width * scale, 1);
  EXPECT_NEAR(rect.height, box.Height * scale, 1);

  // Centred, the box sits in the middle of the width, and with no height limit on the top edge.
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kCentre;
  BodyRect centred{0, 0, 300, 0};
  DrawCaption(canvas_.Graphics(), centred, inputs_, CaptionPass::Measure);
  EXPECT_EQ(centred.width, rect.width);
  EXPECT_NEAR(centred.x, (300 - rect.width) / 2.0, 1);
  EXPECT_NEAR(centred.y, -rect.height / 2.0, 1);
}

TEST_F(CaptionDrawTest, FindsTheFontInstalledInTheCollectionOrDrawsTheGenericFamily) {
  gdip::UniqueFontFamily generic;
  ASSERT_EQ(GdipGetGenericFontFamilySansSerif(generic.put()), Ok);
  WCHAR genericName[LF_FACESIZE] = {};
  GdipGetFamilyName(generic.get(), genericName, LANG_NEUTRAL);
  inputs_.Caption = L"Fallback";
  inputs_.FontName = genericName;
  ASSERT_FALSE(Draw(kBody).Empty());
  const Pixels expected = canvas_.Read();
  inputs_.FontName = L"No Such Face Anywhere";
  Draw(kBody);
  EXPECT_EQ(canvas_.Read().argb, expected.argb);

  const PrivateGlyphFont glyphs;
  ASSERT_EQ(glyphs.FamilyCount(), 1);
  inputs_.FontName = kPrivateFamily;
  inputs_.FontCollection = glyphs.Collection();
  inputs_.Caption = std::wstring(1, kSolidSquare);
  const InkBox square = Draw(kBody);
  EXPECT_GE(square.count, square.Width() * square.Height() * 9 / 10);
  EXPECT_GT(square.Width(), 10);
  inputs_.FontName = L"No Such Face Anywhere";  // the generic family has no such glyph
  EXPECT_LT(Draw(kBody).count, square.count / 2);
}

TEST_F(CaptionDrawTest, OddInputsDrawNothingOrDrawSafely) {
  inputs_.Caption = std::wstring(L"ab\0cd", 5);
  const InkBox upToNul = Draw(kBody);
  inputs_.Caption = L"ab";
  EXPECT_EQ(Draw(kBody).count, upToNul.count);
  for (BodyRect rect : {BodyRect{10, 10, 0, 0}, BodyRect{10, 10, -50, 20}, BodyRect{INT32_MAX, INT32_MIN, -1, INT32_MAX}})
    Draw(rect);
  inputs_.CaptionPaddingX = inputs_.CaptionPaddingY = INT16_MAX;
  EXPECT_TRUE(Draw(kBody).Empty());
  inputs_.CaptionPaddingX = inputs_.CaptionPaddingY = 0;
  inputs_.Font = nullptr;  // no size: nothing to draw
  EXPECT_TRUE(Draw(kBody).Empty());
  const ComPtr<IFont> huge = MakeFont(L"Tahoma", 3000);
  inputs_.Font = huge.Get();
  Draw(kBody);
  inputs_.Font = font_.Get();
  inputs_.Caption.assign(20000, L'w');
  inputs_.CaptionAngle = -359;
  inputs_.CaptionTriming = 4;
  EXPECT_FALSE(Draw(kBody).Empty());

  BodyRect unchanged{1, 2, 3, 4};
  EXPECT_FALSE(DrawCaption(nullptr, unchanged, inputs_, CaptionPass::Measure).fontFound);
  EXPECT_EQ(unchanged, (BodyRect{1, 2, 3, 4}));
}

// The icon glyph: its own alignment and padding, the caption's rotation and outline, its opacity,
// and where its font may come from.
constexpr BodyRect kIconBody{0, 0, 200, 100};

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
  const InkBox flush = Draw(kIconBody);
  EXPECT_NEAR(flush.right + 1, kIconBody.width - EmPixels(kIconPoints) / 6 - 1, 2);
  inputs_.IconPaddingX = 4;
  const InkBox padded = Draw(kIconBody);
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
  Draw(kIconBody);
  const InkBox icon = canvas_.InkOf(kBlue);
  const InkBox caption = canvas_.InkOf(kBlack);
  EXPECT_LT(caption.right, kIconBody.width / 2);
  EXPECT_LT(caption.bottom, kIconBody.height / 2);
  EXPECT_GT(icon.left, kIconBody.width / 2);
  EXPECT_GT(icon.top, kIconBody.height / 2);
  EXPECT_LE(icon.bottom, kIconBody.height - 3);

  // The same glyph as caption and icon at the same place: only the icon's colour shows.
  inputs_.Caption = std::wstring(1, kSolidSquare);
  inputs_.FontName = kIconFamily;
  inputs_.Font = iconFont_.Get();
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kFar;
  inputs_.IconPaddingY = 0;
  EXPECT_EQ(Draw(kIconBody).count, canvas_.InkOf(kBlue).count);
}

TEST_F(IconGlyphTest, OpacityZeroLeavesOnlyTheCaptionsOutline) {
  inputs_.IconOpacity = 0;
  EXPECT_TRUE(Draw(kIconBody).Empty());
  inputs_.CaptionBorderWidth = 2;
  const InkBox outlined = Draw(kIconBody);
  ASSERT_FALSE(outlined.Empty());
  EXPECT_EQ(canvas_.InkOf(kRed).count, outlined.count);
  EXPECT_EQ(canvas_.Read().At(static_cast<int>(outlined.CentreX()), static_cast<int>(outlined.CentreY())), 0u);
}

TEST_F(IconGlyphTest, TurnsWithTheCaptionAboutTheSameCentre) {
  // Both sit on the right, so that a quarter turn keeps them on the surface.
  inputs_.Caption = L"Cap";
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kFar;
  inputs_.IconAlignmentH = kFar;
  Draw(kIconBody);
  const InkBox icon = canvas_.InkOf(kBlue);
  const InkBox caption = canvas_.InkOf(kBlack);
  inputs_.CaptionAngle = 90;
  Draw(kIconBody);
  // Clockwise about the control's centre (100, 50): (x, y) goes to (150 - y, x - 50).
  for (const auto& [before, after] : {std::pair{icon, canvas_.InkOf(kBlue)}, std::pair{caption, canvas_.InkOf(kBlack)}}) {
    EXPECT_NEAR(after.CentreX(), 150 - before.CentreY(), 1.5);
    EXPECT_NEAR(after.CentreY(), before.CentreX() - 50, 1.5);
  }
}

TEST_F(IconGlyphTest, HasNoFallbackFontButMayComeFromThePrivateCollection) {
  inputs_.Caption = L"still here";
  inputs_.IconFontName = L"No Such Icon Font";
  Draw(kIconBody);
  EXPECT_TRUE(canvas_.InkOf(kBlue).Empty());
  EXPECT_FALSE(canvas_.InkOf(kBlack).Empty());

  const PrivateGlyphFont glyphs;
  inputs_.IconFontName = kPrivateFamily;
  inputs_.FontCollection = glyphs.Collection();
  Draw(kIconBody);
  const InkBox icon = canvas_.InkOf(kBlue);
  EXPECT_GE(icon.count, icon.Width() * icon.Height() * 9 / 10);
}

TEST_F(IconGlyphTest, ShadowPassUsesTheShadowColourAndCodesThatAreNoCharacterDrawNothing) {
  inputs_.ShadowArgb = 0xFF204060;
  const InkBox shadow = Draw(kIconBody, CaptionPass::Shadow);
  ASSERT_FALSE(shadow.Empty());
  EXPECT_EQ(canvas_.InkOf(0xFF204060).count, shadow.count);
  for (int32_t code : {0, -40000, 0x110000, INT32_MIN}) {
    inputs_.IconCharCode = code;
    EXPECT_TRUE(Draw(kIconBody).Empty()) << code;
  }
}

}  // namespace
}  // namespace cardel::testing
