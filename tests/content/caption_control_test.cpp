// The caption as the hosted control paints it: the properties reach DrawCaption, the caption
// turns about the control's centre while the border stays put, and a host's private font
// collection published in the thread slots is used.
#include <gtest/gtest.h>

#include <string>

#include "container.h"
#include "ink.h"
#include "library.h"
#include "test_fonts.h"

namespace cardel::testing {
namespace {

using testhost::Container;
using testhost::HostedControl;
using testhost::Image;
using testhost::Library;
using testhost::Pixel;
using testhost::ToPixel;

constexpr COLORREF kInk = RGB(200, 0, 0);
constexpr COLORREF kBorder = RGB(0, 0, 255);

void SetCaption(_ucCardel* cardel, const std::wstring& text) {
  BSTR caption = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  cardel->put_Caption(&caption);
  SysFreeString(caption);
}

HRESULT SetFont(_ucCardel* cardel, const wchar_t* name, double points, bool icon = false) {
  ComPtr<IFontDisp> font;
  MakeFont(name, points).As(&font);
  return icon ? cardel->putref_IconFont(font.Get()) : cardel->putref_Font(font.Get());
}

// Pixels of one colour in the control's rectangle, in the control's own coordinates.
InkBox InkOf(Container& box, const RECT& rect, COLORREF colour) {
  box.Repaint();
  const Image image = box.Capture(rect);
  const Pixel wanted = ToPixel(colour);
  return FindInk(image, [wanted](Pixel pixel) { return pixel == wanted; });
}

class CaptionControlTest : public ::testing::Test {
 protected:
  _ucCardel* Place(const RECT& rect) {
    HostedControl& control = box_.Add(rect);
    cardel_ = control.Cardel();
    cardel_->put_FrontColor(RGB(255, 255, 255));
    cardel_->put_BackColorOpacity(100);
    cardel_->put_ForeColor(kInk);
    return cardel_.Get();
  }

  Library library_;
  Container box_{library_, SIZE{400, 300}};
  ComPtr<_ucCardel> cardel_;
};

TEST_F(CaptionControlTest, ANewControlShowsItsNameInTheMiddleOfTheBody) {
  const RECT rect{50, 40, 250, 120};
  Place(rect);
  const InkBox ink = InkOf(box_, rect, kInk);
  ASSERT_FALSE(ink.Empty());
  // The body is the client area made inclusive: 199 x 79.
  EXPECT_NEAR(ink.CentreX(), 199 / 2.0, 2);
  EXPECT_NEAR(ink.CentreY(), 79 / 2.0, 3);
}

TEST_F(CaptionControlTest, AlignmentAndPaddingPropertiesPlaceTheCaption) {
  const RECT rect{50, 40, 250, 120};
  _ucCardel* cardel = Place(rect);
  SetCaption(cardel, L"Placed");
  cardel->put_CaptionAlignmentH(cLeft);
  cardel->put_CaptionAlignmentV(cTop);
  cardel->put_CaptionPaddingX(7);
  cardel->put_CaptionPaddingY(5);
  const InkBox topLeft = InkOf(box_, rect, kInk);
  const double margin = 11 / 6.0;  // the ambient Tahoma 8 pt is 11 px
  EXPECT_GE(topLeft.left, 7 + margin - 1);
  EXPECT_LE(topLeft.left, 7 + margin + 3);
  EXPECT_GE(topLeft.top, 5);
  EXPECT_LE(topLeft.top, 5 + 6);

  cardel->put_CaptionAlignmentH(cRight);
  cardel->put_CaptionAlignmentV(cBottom);
  const InkBox bottomRight = InkOf(box_, rect, kInk);
  EXPECT_EQ(bottomRight.Width(), topLeft.Width());
  EXPECT_LE(bottomRight.right, 199 - 7 - margin);
  EXPECT_GE(bottomRight.right, 199 - 7 - margin - 3);
  EXPECT_LE(bottomRight.bottom, 79 - 5);
}

TEST_F(CaptionControlTest, TurnsAboutTheControlsCentreWhileTheBorderStays) {
  const RECT rect{100, 50, 300, 150};
  _ucCardel* cardel = Place(rect);
  SetCaption(cardel, L"Turn");
  cardel->put_CallOut(VARIANT_TRUE);
  cardel->put_CallOutPosicion(coLeft);
  cardel->put_CallOutLen(30);  // the body starts 30 px in, the control's centre stays at (100, 50)
  cardel->put_Border(VARIANT_TRUE);
  cardel->put_BorderWidth(2);
  cardel->put_BorderColor(kBorder);
  const InkBox upright = InkOf(box_, rect, kInk);
  const InkBox border = InkOf(box_, rect, kBorder);
  ASSERT_FALSE(upright.Empty());
  EXPECT_NEAR(upright.CentreX(), 30 + 169 / 2.0, 2);  // centred in the body, right of the tail

  cardel->put_CaptionAngle(90);
  const InkBox turned = InkOf(box_, rect, kInk);
  const InkBox turnedBorder = InkOf(box_, rect, kBorder);
  EXPECT_NEAR(turned.CentreX(), 150 - upright.CentreY(), 1.5);
  EXPECT_NEAR(turned.CentreY(), upright.CentreX() - 50, 1.5);
  EXPECT_EQ(turnedBorder.left, border.left);
  EXPECT_EQ(turnedBorder.right, border.right);
  EXPECT_EQ(turnedBorder.top, border.top);
  EXPECT_EQ(turnedBorder.bottom, border.bottom);
  EXPECT_NEAR(turnedBorder.count, border.count, turned.count / 20 + 2);  // only where the caption crosses it
}

TEST_F(CaptionControlTest, TheIconPropertiesDrawTheGlyph) {
  const RECT rect{50, 40, 250, 120};
  _ucCardel* cardel = Place(rect);
  SetCaption(cardel, L"");
  ASSERT_EQ(SetFont(cardel, kIconFamily, 24, true), S_OK);
  BSTR code = SysAllocString(L"U+F0C8");
  ASSERT_EQ(cardel->put_IconCharCode(code), S_OK);
  SysFreeString(code);
  cardel->put_IconForeColor(kBorder);
  cardel->put_IconAlignmentH(cRight);
  cardel->put_IconAlignmentV(cMiddle);
  EXPECT_TRUE(InkOf(box_, rect, kBorder).Empty());  // a new icon is fully transparent

  cardel->put_IconOpacity(100);
  const InkBox icon = InkOf(box_, rect, kBorder);
  ASSERT_FALSE(icon.Empty());
  EXPECT_GT(icon.left, 199 / 2);
  EXPECT_NEAR(icon.CentreY(), 79 / 2.0, 3);
}

TEST(CaptionHostTest, AFontPublishedByTheHostIsFoundThroughTheThreadSlots) {
  PrivateGlyphFont glyphs;
  const PublishedCollection published(glyphs.Collection());
  ASSERT_TRUE(published.Published());
  Library library;
  Container box(library, SIZE{300, 200});
  const RECT rect{20, 20, 220, 120};
  ComPtr<_ucCardel> cardel = box.Add(rect).Cardel();
  cardel->put_FrontColor(RGB(255, 255, 255));
  cardel->put_ForeColor(kInk);
  ASSERT_EQ(SetFont(cardel.Get(), kPrivateFamily, 24), S_OK);
  SetCaption(cardel.Get(), std::wstring(1, kSolidSquare));
  const InkBox square = InkOf(box, rect, kInk);
  ASSERT_FALSE(square.Empty());
  EXPECT_GE(square.count, square.Width() * square.Height() * 9 / 10);
  EXPECT_GT(square.Width(), 20);
}

}  // namespace
}  // namespace cardel::testing
