// The caption drawn straight onto an off-screen surface: where its ink lands for each alignment,
// padding, wrapping, trimming, prefix and rotation setting, what measure mode reports, and which
// font it is drawn in. This Wine draws without anti-aliasing, so ink is exact.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "caption_fixture.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel::testing {
namespace {

constexpr BodyRect kBody{10, 10, 280, 180};
constexpr int32_t kNear = 0, kCentre = 1, kFar = 2;

// Runs of ink along one row: their lengths, left to right.
std::vector<int> RunsInRow(const Pixels& pixels, int y) {
  std::vector<int> runs;
  int run = 0;
  for (int x = 0; x < pixels.width; ++x) {
    if (pixels.At(x, y) >> 24) {
      ++run;
    } else if (run) {
      runs.push_back(run);
      run = 0;
    }
  }
  if (run) runs.push_back(run);
  return runs;
}

using CaptionDrawTest = CaptionFixture;

TEST_F(CaptionDrawTest, AlignsInThePaddedBodyAndGrowsThePaddingWithTheDpi) {
  inputs_.Caption = L"Hello";
  const float margin = 21.0f / 6;  // 16 pt is 21 px at 96 DPI
  for (float dpi : {1.0f, 1.5f}) {
    for (int32_t align : {kNear, kCentre, kFar}) {
      SCOPED_TRACE(::testing::Message() << "dpi " << dpi << " alignment " << align);
      inputs_.DpiScale = dpi;
      inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = align;
      inputs_.CaptionPaddingX = inputs_.CaptionPaddingY = 0;
      const InkBox unpadded = Draw(kBody);
      inputs_.CaptionPaddingX = 10;
      inputs_.CaptionPaddingY = 6;
      const InkBox padded = Draw(kBody);
      // Padding only moves the text: by the scaled padding towards the middle, not at all when centred.
      const int direction = align == kNear ? 1 : align == kFar ? -1 : 0;
      EXPECT_EQ(padded.left - unpadded.left, direction * std::lround(10 * dpi));
      EXPECT_EQ(padded.top - unpadded.top, direction * std::lround(6 * dpi));
      EXPECT_EQ(padded.count, unpadded.count);

      if (align == kNear) {
        EXPECT_GE(unpadded.left, kBody.x + margin - 1);
        EXPECT_LE(unpadded.left, kBody.x + margin + 3);
        EXPECT_GE(unpadded.top, kBody.y);
        EXPECT_LE(unpadded.top, kBody.y + 10);
      } else if (align == kFar) {
        EXPECT_LE(unpadded.right, kBody.x + kBody.width - margin);
        EXPECT_GE(unpadded.right, kBody.x + kBody.width - margin - 3);
        EXPECT_LE(unpadded.bottom, kBody.y + kBody.height);
        EXPECT_GE(unpadded.bottom, kBody.y + kBody.height - 8);
      } else {
        EXPECT_NEAR(unpadded.CentreX(), kBody.x + kBody.width / 2.0, 1.5);
        EXPECT_NEAR(unpadded.CentreY(), kBody.y + kBody.height / 2.0, 4);
      }
    }
  }
}

TEST_F(CaptionDrawTest, WrapsLikeDrawStringAndCentresTheLinesVertically) {
  // Where this Wine's GdipDrawString wraps and centres, the caption's lines land where its lines do.
  gdip::UniqueFontFamily family;
  GdipCreateFontFamilyFromName(L"Tahoma", nullptr, family.put());
  gdip::UniqueFont font;
  GdipCreateFont(family.get(), 21, FontStyleRegular, UnitPixel, font.put());
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
      if (align == kNear) {
        EXPECT_NEAR(caption.left, reference.left, 1);
      } else if (align == kCentre) {
        EXPECT_NEAR(caption.CentreX(), reference.CentreX(), 2);
      } else {
        EXPECT_NEAR(caption.right, reference.right, 1);
      }
    }
  }
}

TEST_F(CaptionDrawTest, WordWrapFalseKeepsALongCaptionOnOneLine) {
  inputs_.Caption = L"one two three four five six";
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kNear;
  const BodyRect narrow{10, 10, 100, 180};
  const InkBox wrapped = Draw(narrow);
  EXPECT_GT(wrapped.Height(), 2 * 25);
  EXPECT_LE(wrapped.right, narrow.x + narrow.width);

  inputs_.WordWrap = false;
  const InkBox single = Draw(narrow);
  EXPECT_LT(single.Height(), 25);
  EXPECT_GT(single.right, narrow.x + narrow.width);  // untrimmed, it runs on past the body
}

TEST_F(CaptionDrawTest, EllipsisTrimmingEndsTheLineWithDotsInsideTheBody) {
  inputs_.Caption = std::wstring(30, L'H');  // no descenders: the dots sit lowest
  inputs_.WordWrap = false;
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kNear;
  const BodyRect body{10, 10, 160, 40};
  const InkBox whole = Draw(body);

  inputs_.CaptionTriming = 3;
  const InkBox trimmed = Draw(body);
  EXPECT_LE(trimmed.right, body.x + body.width - 3);
  EXPECT_GE(trimmed.right, body.x + body.width - 20);
  EXPECT_LT(trimmed.count, whole.count);
  const Pixels pixels = canvas_.Read();
  const auto ink = [](uint32_t argb) { return (argb >> 24) != 0; };
  const InkBox lastDot = FindInk(pixels, ink, trimmed.right - 1, 0, trimmed.right + 1);
  EXPECT_LE(lastDot.Height(), 4);
  EXPECT_GE(lastDot.bottom, trimmed.bottom - 1);

  // Character trimming ends on a whole letter instead, here the stem of an H.
  inputs_.CaptionTriming = 1;
  const InkBox cut = Draw(body);
  EXPECT_LE(cut.right, body.x + body.width - 3);
  const InkBox lastLetter = FindInk(canvas_.Read(), ink, cut.right - 1, 0, cut.right + 1);
  EXPECT_GT(lastLetter.Height(), 10);
}

TEST_F(CaptionDrawTest, ShowPrefixUnderlinesTheMarkedLetterInsteadOfDrawingTheAmpersand) {
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kNear;
  inputs_.Caption = L"Save";
  const InkBox plain = Draw(kBody);

  inputs_.Caption = L"&Save";
  inputs_.CaptionShowPrefix = true;
  const InkBox prefixed = Draw(kBody);
  EXPECT_EQ(prefixed.left, plain.left);
  EXPECT_GT(prefixed.bottom, plain.bottom);
  const InkBox underline =
      FindInk(canvas_.Read(), [](uint32_t argb) { return (argb >> 24) != 0; }, 0, plain.bottom + 1);
  EXPECT_LE(underline.left, plain.left + 1);
  EXPECT_LT(underline.right, plain.left + plain.Width() / 2);  // under the S only
  EXPECT_LE(underline.Height(), 3);

  inputs_.CaptionShowPrefix = false;
  const InkBox literal = Draw(kBody);
  EXPECT_GT(literal.Width(), plain.Width() + 8);  // the ampersand is drawn
  EXPECT_EQ(literal.bottom, plain.bottom);
}

TEST_F(CaptionDrawTest, UnderlineAndStrikeoutAreDrawnAcrossTheLine) {
  const ComPtr<IFont> ruled = MakeFont(L"Tahoma", 16, false, true, true);
  inputs_.Font = ruled.Get();
  inputs_.Caption = L"ruled";
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kNear;
  const InkBox ink = Draw(kBody);
  const Pixels pixels = canvas_.Read();
  int fullRows = 0;
  for (int y = ink.top; y <= ink.bottom; ++y) {
    const std::vector<int> runs = RunsInRow(pixels, y);
    if (runs.size() == 1 && runs[0] >= ink.Width() - 2) ++fullRows;
  }
  EXPECT_GE(fullRows, 2);  // one row of the underline and one of the strikeout at least
}

TEST_F(CaptionDrawTest, OutlineWidthStaysInPixelsAtAnyDpi) {
  const ComPtr<IFont> large = MakeFont(L"Tahoma", 48);
  inputs_.Font = large.Get();
  inputs_.Caption = L"I";
  inputs_.ForeColorOpacity = 0;
  inputs_.CaptionBorderWidth = 2;
  const InkBox atOne = Draw(kBody);
  const Pixels one = canvas_.Read();
  inputs_.DpiScale = 2;
  const InkBox atTwo = Draw(kBody);
  EXPECT_EQ(canvas_.Read().argb, one.argb);

  const std::vector<int> runs = RunsInRow(one, (atOne.top + atOne.bottom) / 2);
  ASSERT_EQ(runs.size(), 2u);  // the stem's two edges
  EXPECT_EQ(runs[0], 2);
  EXPECT_EQ(runs[1], 2);
  EXPECT_EQ(canvas_.InkOf(kRed).count, atTwo.count);  // no fill, only the red outline

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
  EXPECT_NEAR(turned.Height(), upright.Width(), 1);

  // A paint origin set by the caller moves the turned caption and is there again afterwards.
  GdipTranslateWorldTransform(canvas_.Graphics(), 10, 20, MatrixOrderAppend);
  canvas_.Clear();
  BodyRect rect = body;
  DrawCaption(canvas_.Graphics(), rect, inputs_, CaptionPass::Paint);
  const InkBox moved = canvas_.Ink();
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

TEST_F(CaptionDrawTest, MeasureModeReportsTheWrappedBoxWithoutDrawing) {
  inputs_.Caption = L"A caption long enough to need a few lines when it is laid out three hundred pixels wide";
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kNear;
  BodyRect rect{0, 0, 300, 0};
  ASSERT_TRUE(DrawCaption(canvas_.Graphics(), rect, inputs_, CaptionPass::Measure).fontFound);
  EXPECT_TRUE(canvas_.Ink().Empty());
  EXPECT_EQ(rect.x, 0);
  EXPECT_EQ(rect.y, 0);
  EXPECT_LE(rect.width, 300);
  EXPECT_GT(rect.width, 200);

  // GDI+'s own measurement of the same text at the font's design size, where hinting plays no part.
  gdip::UniqueFontFamily family;
  GdipCreateFontFamilyFromName(L"Tahoma", nullptr, family.put());
  UINT16 designEm = 0;
  GdipGetEmHeight(family.get(), FontStyleRegular, &designEm);
  const float scale = 21.0f / designEm;
  gdip::UniqueFont font;
  GdipCreateFont(family.get(), designEm, FontStyleRegular, UnitPixel, font.put());
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

  // Centred, the box sits in the middle of the width; with no height limit the top is the point
  // the lines are centred on.
  inputs_.CaptionAlignmentH = inputs_.CaptionAlignmentV = kCentre;
  BodyRect centred{0, 0, 300, 0};
  DrawCaption(canvas_.Graphics(), centred, inputs_, CaptionPass::Measure);
  EXPECT_EQ(centred.width, rect.width);
  EXPECT_EQ(centred.height, rect.height);
  EXPECT_NEAR(centred.x, (300 - rect.width) / 2.0, 1);
  EXPECT_NEAR(centred.y, -rect.height / 2.0, 1);
}

TEST_F(CaptionDrawTest, AFontFoundNowhereDrawsInTheGenericSansSerifFamily) {
  gdip::UniqueFontFamily generic;
  ASSERT_EQ(GdipGetGenericFontFamilySansSerif(generic.put()), Ok);
  WCHAR name[LF_FACESIZE] = {};
  GdipGetFamilyName(generic.get(), name, LANG_NEUTRAL);
  inputs_.Caption = L"Fallback";

  inputs_.FontName = name;
  ASSERT_FALSE(Draw(kBody).Empty());
  const Pixels expected = canvas_.Read();
  inputs_.FontName = L"No Such Face Anywhere";
  Draw(kBody);
  EXPECT_EQ(canvas_.Read().argb, expected.argb);
}

TEST_F(CaptionDrawTest, AFontOnlyThePrivateCollectionHasIsDrawnFromIt) {
  PrivateGlyphFont glyphs;
  ASSERT_EQ(glyphs.FamilyCount(), 1);
  const ComPtr<IFont> large = MakeFont(L"Tahoma", 24);
  inputs_.FontName = kPrivateFamily;
  inputs_.Font = large.Get();
  inputs_.Caption = std::wstring(1, kSolidSquare);

  inputs_.FontCollection = glyphs.Collection();
  const InkBox square = Draw(kBody);
  ASSERT_FALSE(square.Empty());
  EXPECT_GE(square.count, square.Width() * square.Height() * 9 / 10);  // a filled square
  EXPECT_GT(square.Width(), 20);

  // This Wine also lists a loaded private font among the installed ones, so the name alone
  // finds it here; an unknown name shows that the glyph really came from that font.
  inputs_.FontName = L"No Such Face Anywhere";
  const InkBox fallback = Draw(kBody);
  EXPECT_LT(fallback.count, square.count / 2);
}

TEST_F(CaptionDrawTest, OddInputsDrawNothingOrDrawSafely) {
  inputs_.Caption = L"";
  EXPECT_TRUE(Draw(kBody).Empty());

  inputs_.Caption = std::wstring(L"ab\0cd", 5);
  const InkBox cut = Draw(kBody);
  inputs_.Caption = L"ab";
  EXPECT_EQ(Draw(kBody).count, cut.count);

  for (BodyRect rect : {BodyRect{10, 10, 0, 0}, BodyRect{10, 10, -50, 20}, BodyRect{10, 10, 20, -50},
                        BodyRect{INT32_MAX - 5, INT32_MIN, INT32_MAX, INT32_MAX}})
    Draw(rect);
  inputs_.CaptionPaddingX = inputs_.CaptionPaddingY = INT16_MAX;
  EXPECT_TRUE(Draw(kBody).Empty());
  inputs_.CaptionPaddingX = inputs_.CaptionPaddingY = INT16_MIN;
  Draw(kBody);
  inputs_.CaptionPaddingX = inputs_.CaptionPaddingY = 0;

  const ComPtr<IFont> huge = MakeFont(L"Tahoma", 3000);
  const ComPtr<IFont> tiny = MakeFont(L"Tahoma", 0);
  inputs_.Font = huge.Get();
  Draw(kBody);
  inputs_.Font = tiny.Get();
  Draw(kBody);
  inputs_.Font = nullptr;
  EXPECT_TRUE(Draw(kBody).Empty());
  inputs_.Font = font_.Get();

  inputs_.Caption.assign(20000, L'w');
  inputs_.CaptionAngle = -359;
  inputs_.CaptionTriming = 4;
  EXPECT_FALSE(Draw(kBody).Empty());

  BodyRect unchanged{1, 2, 3, 4};
  EXPECT_FALSE(DrawCaption(nullptr, unchanged, inputs_, CaptionPass::Measure).fontFound);
  EXPECT_EQ(unchanged, (BodyRect{1, 2, 3, 4}));
}

}  // namespace
}  // namespace cardel::testing
