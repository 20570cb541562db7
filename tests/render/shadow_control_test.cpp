// The box shadow through the real control in a real container: where the cached image lands on
// screen, and that the setters and Resize that should rebuild it do.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "container.h"
#include "library.h"

namespace cardel::testhost {
namespace {

constexpr POINT kOrigin{20, 20};
constexpr RECT kRect{kOrigin.x, kOrigin.y, kOrigin.x + 100, kOrigin.y + 60};
constexpr Pixel kWhite = 0xFFFFFF;

int Brightness(Pixel p) { return int(p >> 16 & 0xFF) + int(p >> 8 & 0xFF) + int(p & 0xFF); }

class ShadowControlTest : public testing::Test {
 protected:
  void SetUp() override {
    control_ = &box_.Add(kRect);
    ASSERT_HRESULT_SUCCEEDED(control_->LoadResult());
    cardel_ = control_->Cardel();
    ASSERT_TRUE(cardel_);
    // No caption, so nothing but box and shadow is drawn.
    BSTR empty = SysAllocString(L"");
    cardel_->put_Caption(&empty);
    SysFreeString(empty);
    cardel_->put_FrontColor(RGB(255, 255, 255));
    cardel_->put_ShadowColor(RGB(0, 0, 0));
    cardel_->put_ShadowColorOpacity(100);
    cardel_->put_ShadowOffsetX(3);
    cardel_->put_ShadowOffsetY(3);
    cardel_->put_ShadowSize(5);
    cardel_->put_BackShadow(VARIANT_TRUE);
  }

  // The control's pixels, addressed from its own top-left corner.
  Pixel At(int x, int y) {
    if (!captured_) {
      image_ = box_.Capture(kRect);
      captured_ = true;
    }
    return image_.At(x, y);
  }
  static Pixel Background(int x, int y) { return Container::BackgroundAt(kOrigin.x + x, kOrigin.y + y); }
  int Darkening(int x, int y) { return Brightness(Background(x, y)) - Brightness(At(x, y)); }
  bool Shaded(int x, int y) { return Darkening(x, y) > 0; }
  void Changed() { captured_ = false; }

  Library library_;
  Container box_{library_};
  HostedControl* control_ = nullptr;
  ComPtr<_ucCardel> cardel_;
  Image image_;
  bool captured_ = false;
};

// Box (5, 5, 87, 47); the 100 x 60 shadow image stretched to 97 x 57 at (3, 3).
TEST_F(ShadowControlTest, ShadowLiesUnderTheBoxTowardsPositiveOffsets) {
  EXPECT_EQ(At(5, 5), kWhite);
  EXPECT_EQ(At(90, 50), kWhite);
  EXPECT_NE(At(4, 30), kWhite);
  EXPECT_NE(At(30, 4), kWhite);
  for (int y : {0, 1, 2, 30, 59}) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(x, y), Background(x, y)) << x << ',' << y;
  }
  for (int x : {0, 50, 99}) {
    for (int y = 0; y < 3; ++y) EXPECT_EQ(At(x, y), Background(x, y)) << x << ',' << y;
  }
  EXPECT_TRUE(Shaded(94, 30));
  EXPECT_TRUE(Shaded(50, 54));
  EXPECT_TRUE(Shaded(94, 54));
  EXPECT_GT(Darkening(93, 30), Darkening(98, 30));
}

// Box (8, 8, 87, 47); the shadow image at (0, 0), 97 x 57.
TEST_F(ShadowControlTest, NegativeOffsetsThrowTheShadowUpAndLeft) {
  cardel_->put_ShadowOffsetX(-3);
  cardel_->put_ShadowOffsetY(-3);
  EXPECT_EQ(At(8, 8), kWhite);
  EXPECT_EQ(At(93, 53), kWhite);
  EXPECT_NE(At(7, 30), kWhite);
  EXPECT_NE(At(94, 30), kWhite);
  EXPECT_TRUE(Shaded(4, 30));
  EXPECT_TRUE(Shaded(30, 4));
  for (int x = 97; x < 100; ++x) EXPECT_EQ(At(x, 30), Background(x, 30)) << x;
  for (int y = 57; y < 60; ++y) EXPECT_EQ(At(50, y), Background(50, y)) << y;
}

TEST_F(ShadowControlTest, BorderAloneCastsTheShadowOfATransparentBox) {
  cardel_->put_BackColorOpacity(0);
  cardel_->put_BorderWidth(2);
  cardel_->put_Border(VARIANT_TRUE);
  EXPECT_EQ(At(50, 30), Background(50, 30));
  EXPECT_TRUE(Shaded(94, 30));
  EXPECT_TRUE(Shaded(50, 54));
}

TEST_F(ShadowControlTest, ColourChangeRebuildsTheShadow) {
  const Pixel black = At(94, 30);
  cardel_->put_ShadowColor(RGB(255, 0, 0));
  Changed();
  const Pixel red = At(94, 30);
  EXPECT_NE(red, black);
  EXPECT_GT(red >> 16 & 0xFF, red >> 8 & 0xFF);
  EXPECT_GT(red >> 16 & 0xFF, black >> 16 & 0xFF);
}

// Rebuilt while too small for the box, so there is no image; only Resize can bring the shadow back.
TEST_F(ShadowControlTest, ResizeRebuildsTheShadow) {
  ASSERT_HRESULT_SUCCEEDED(control_->Move({kRect.left, kRect.top, kRect.left + 8, kRect.top + 8}));
  cardel_->put_ShadowColor(RGB(0, 0, 0));
  ASSERT_HRESULT_SUCCEEDED(control_->Move(kRect));
  box_.Repaint();
  EXPECT_TRUE(Shaded(94, 30));
  EXPECT_EQ(At(5, 5), kWhite);
}

// The caption itself is invisible (opacity 0), so every pixel that is not the white fill belongs to
// the caption's shadow. The fill stops one pixel short of the right and bottom edges.
class CaptionShadowControlTest : public ShadowControlTest {
 protected:
  void SetUp() override {
    ShadowControlTest::SetUp();
    cardel_->put_BackShadow(VARIANT_FALSE);
    cardel_->put_ShadowOffsetX(0);
    cardel_->put_ShadowOffsetY(0);
    cardel_->put_ShadowSize(1);
    cardel_->put_ForeColorOpacity(0);
    BSTR text = SysAllocString(L"Shade");
    cardel_->put_Caption(&text);
    SysFreeString(text);
    cardel_->put_CaptionShadow(VARIANT_TRUE);
  }

  struct Shade {
    int pixels = 0;
    int rows = 0;
    double centreX = 0;
    int left = INT_MAX, right = INT_MIN;
  };
  Shade Measure(int width, int height) {
    const Image image = box_.Capture({kRect.left, kRect.top, kRect.left + width, kRect.top + height});
    Shade shade;
    double sumX = 0;
    for (int y = 0; y < height - 1; ++y) {
      bool any = false;
      for (int x = 0; x < width - 1; ++x) {
        if (image.At(x, y) == kWhite) continue;
        ++shade.pixels;
        sumX += x;
        shade.left = std::min(shade.left, x);
        shade.right = std::max(shade.right, x);
        any = true;
      }
      shade.rows += any;
    }
    if (shade.pixels) shade.centreX = sumX / shade.pixels;
    return shade;
  }
};

TEST_F(CaptionShadowControlTest, ShowsOnlyWhileOn) {
  const Shade on = Measure(100, 60);
  EXPECT_GT(on.pixels, 20);
  EXPECT_NEAR(on.centreX, 50, 6);
  cardel_->put_CaptionShadow(VARIANT_FALSE);
  EXPECT_EQ(Measure(100, 60).pixels, 0);
  cardel_->put_CaptionShadow(VARIANT_TRUE);
  EXPECT_EQ(Measure(100, 60).pixels, on.pixels);
}

// A stale image would be stretched to the new body and come out twice as wide.
TEST_F(CaptionShadowControlTest, ResizeRebuildsItAtTheNewBodySize) {
  const Shade narrow = Measure(100, 60);
  ASSERT_NEAR(narrow.centreX, 50, 6);
  ASSERT_HRESULT_SUCCEEDED(control_->Move({kRect.left, kRect.top, kRect.left + 200, kRect.bottom}));
  box_.Repaint();
  const Shade wide = Measure(200, 60);
  EXPECT_NEAR(wide.centreX, 100, 6);
  EXPECT_NEAR(wide.right - wide.left, narrow.right - narrow.left, 2);
}

TEST_F(CaptionShadowControlTest, WordWrapRewrapsTheShadow) {
  BSTR text = SysAllocString(L"Shade and more shade");
  cardel_->put_Caption(&text);
  SysFreeString(text);
  const Shade wrapped = Measure(100, 60);
  cardel_->put_WordWrap(VARIANT_FALSE);
  const Shade single = Measure(100, 60);
  EXPECT_GT(wrapped.rows, single.rows);
}

TEST_F(CaptionShadowControlTest, ShadowSizeZeroCastsNone) {
  cardel_->put_ShadowSize(0);
  EXPECT_EQ(Measure(100, 60).pixels, 0);
}

}  // namespace
}  // namespace cardel::testhost
