// The caption as the hosted control paints it: the properties reach DrawCaption, the caption
// turns about the control's centre while the border stays put, the icon follows its properties,
// and a host's private font collection published in the thread slots is used.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "caption_fixture.h"
#include "common/automation_handles.h"
#include "container.h"

namespace cardel::testing {
namespace {

using host::Container;
using host::Pixel;
using host::SetCaption;

constexpr COLORREF kInk = RGB(200, 0, 0);
constexpr COLORREF kBlueInk = RGB(0, 0, 255);

HRESULT SetFont(_ucCardel* cardel, const wchar_t* name, double points, bool icon = false) {
  ComPtr<IFontDisp> font;
  MakeFont(name, points).As(&font);
  return icon ? cardel->putref_IconFont(font.Get()) : cardel->putref_Font(font.Get());
}

// Pixels of one colour in the control's rectangle, in the control's own coordinates.
InkBox InkOf(Container& box, const RECT& rect, COLORREF colour) {
  box.Repaint();
  const Pixel wanted = host::ToPixel(colour);
  return FindInk(box.Capture(rect), [wanted](Pixel pixel) { return pixel == wanted; });
}

class CaptionControlTest : public ::testing::Test {
 protected:
  static constexpr RECT kRect{50, 40, 250, 120};  // body: 199 x 79

  _ucCardel* Place(const RECT& rect = kRect) {
    cardel_ = box_.Add(rect).Cardel();
    cardel_->put_FrontColor(RGB(255, 255, 255));
    cardel_->put_ForeColor(kInk);
    return cardel_.Get();
  }

  host::Library library_;
  Container box_{library_, SIZE{400, 300}};
  ComPtr<_ucCardel> cardel_;
};

TEST_F(CaptionControlTest, NameInTheMiddleThenWhereAlignmentAndPaddingPutIt) {
  _ucCardel* cardel = Place();
  const InkBox name = InkOf(box_, kRect, kInk);
  ASSERT_FALSE(name.Empty());
  EXPECT_NEAR(name.CentreX(), 199 / 2.0, 2);
  EXPECT_NEAR(name.CentreY(), 79 / 2.0, 3);

  cardel->put_CaptionAlignmentH(cLeft);
  cardel->put_CaptionAlignmentV(cTop);
  cardel->put_CaptionPaddingX(7);
  cardel->put_CaptionPaddingY(5);
  const InkBox topLeft = InkOf(box_, kRect, kInk);
  const double margin = EmPixels(8) / 6;  // the ambient font is Tahoma 8 pt
  EXPECT_NEAR(topLeft.left, 7 + margin + 1, 2);
  EXPECT_NEAR(topLeft.top, 5 + 3, 3);
  cardel->put_CaptionAlignmentH(cRight);
  cardel->put_CaptionAlignmentV(cBottom);
  const InkBox bottomRight = InkOf(box_, kRect, kInk);
  EXPECT_EQ(bottomRight.Width(), topLeft.Width());
  EXPECT_NEAR(bottomRight.right + 1, 199 - 7 - margin - 1, 2);
  EXPECT_LE(bottomRight.bottom, 79 - 5);
}

TEST_F(CaptionControlTest, TurnsAboutTheControlsCentreWhileTheBorderStays) {
  const RECT rect{100, 50, 300, 150};
  _ucCardel* cardel = Place(rect);
  SetCaption(cardel, L"Turn");
  cardel->put_CallOut(VARIANT_TRUE);
  cardel->put_CallOutPosicion(coLeft);
  cardel->put_CallOutLen(30);  // the body starts right of the tail; the control's centre stays at (100, 50)
  cardel->put_Border(VARIANT_TRUE);
  cardel->put_BorderWidth(2);
  cardel->put_BorderColor(kBlueInk);
  const InkBox upright = InkOf(box_, rect, kInk);
  const InkBox border = InkOf(box_, rect, kBlueInk);
  double dpi = 0;
  cardel->GetWindowsDPI(&dpi);
  EXPECT_NEAR(upright.CentreX(), (std::lround(30 * dpi) + 199) / 2.0, 2);  // centred in the body

  cardel->put_CaptionAngle(90);
  const InkBox turned = InkOf(box_, rect, kInk);
  const InkBox turnedBorder = InkOf(box_, rect, kBlueInk);
  EXPECT_NEAR(turned.CentreX(), 150 - upright.CentreY(), 1.5);
  EXPECT_NEAR(turned.CentreY(), upright.CentreX() - 50, 1.5);
  EXPECT_EQ(turnedBorder.left, border.left);
  EXPECT_EQ(turnedBorder.right, border.right);
  EXPECT_EQ(turnedBorder.top, border.top);
  EXPECT_EQ(turnedBorder.bottom, border.bottom);
  EXPECT_EQ(turnedBorder.count, border.count);
}

TEST_F(CaptionControlTest, IconPropertiesDrawTheGlyphPaddedByTheScreensDpi) {
  _ucCardel* cardel = Place();
  SetCaption(cardel, L"");
  ASSERT_EQ(SetFont(cardel, kIconFamily, 24, true), S_OK);
  const UniqueBstr code(SysAllocString(L"U+F0C8"));
  ASSERT_EQ(cardel->put_IconCharCode(code.get()), S_OK);
  cardel->put_IconForeColor(kBlueInk);
  cardel->put_IconAlignmentH(cRight);
  cardel->put_IconAlignmentV(cMiddle);
  EXPECT_TRUE(InkOf(box_, kRect, kBlueInk).Empty());  // a new icon is fully transparent

  cardel->put_IconOpacity(100);
  const InkBox flush = InkOf(box_, kRect, kBlueInk);
  ASSERT_FALSE(flush.Empty());
  EXPECT_GT(flush.left, 199 / 2);
  EXPECT_NEAR(flush.CentreY(), 79 / 2.0, 3);
  double dpi = 0;
  cardel->GetWindowsDPI(&dpi);
  cardel->put_IconPaddingX(4);
  EXPECT_EQ(InkOf(box_, kRect, kBlueInk).right, flush.right - std::lround(4 * dpi));
}

TEST(CaptionHostTest, AFontPublishedByTheHostIsFoundThroughTheThreadSlots) {
  host::OleApartment ole;
  const gdip::Session session;  // the host's own GDI+, which owns the collection
  const PrivateGlyphFont glyphs;
  const PublishedCollection published(glyphs.Collection());
  ASSERT_TRUE(published.Published());
  host::Library library;
  Container box(library, SIZE{300, 200});
  const RECT rect{20, 20, 220, 120};
  const ComPtr<_ucCardel> cardel = box.Add(rect).Cardel();
  cardel->put_FrontColor(RGB(255, 255, 255));
  cardel->put_ForeColor(kInk);
  ASSERT_EQ(SetFont(cardel.Get(), kPrivateFamily, 24), S_OK);
  SetCaption(cardel.Get(), std::wstring(1, kSolidSquare));
  const InkBox square = InkOf(box, rect, kInk);
  EXPECT_GE(square.count, square.Width() * square.Height() * 9 / 10);
  EXPECT_GT(square.Width(), 20);
}

}  // namespace
}  // namespace cardel::testing
