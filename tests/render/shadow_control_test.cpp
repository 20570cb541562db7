// The box and caption shadows through the real control in a real container: where the cached
// images land on screen, and that the setters and Resize that should rebuild them do.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "container.h"
#include "library.h"

namespace cardel::host {
namespace {

constexpr RECT kRect{20, 20, 120, 80};
constexpr Pixel kWhite = 0xFFFFFF;

int Brightness(Pixel p) { return int(p >> 16 & 0xFF) + int(p >> 8 & 0xFF) + int(p & 0xFF); }

class ShadowControlTest : public testing::Test {
 protected:
  void SetUp() override {
    control_ = &box_.Add(kRect);
    ASSERT_HRESULT_SUCCEEDED(control_->LoadResult());
    cardel_ = control_->Cardel();
    SetCaption(L"");  // nothing but box and shadow is drawn
    cardel_->put_FrontColor(RGB(255, 255, 255));
    cardel_->put_ShadowColor(RGB(0, 0, 0));
    cardel_->put_ShadowColorOpacity(100);
    cardel_->put_ShadowOffsetX(3);
    cardel_->put_ShadowOffsetY(3);
    cardel_->put_ShadowSize(5);
    cardel_->put_BackShadow(VARIANT_TRUE);
  }
  void SetCaption(const wchar_t* text) { host::SetCaption(cardel_.Get(), text); }
  // The control's pixels, addressed from its own top-left corner, captured once after a change.
  Pixel At(int x, int y) {
    if (image_.pixels.empty()) image_ = box_.Capture(kRect);
    return image_.At(x, y);
  }
  void Changed() { image_ = {}; }
  static Pixel Background(int x, int y) { return Container::BackgroundAt(kRect.left + x, kRect.top + y); }
  int Darkening(int x, int y) { return Brightness(Background(x, y)) - Brightness(At(x, y)); }
  bool Shaded(int x, int y) { return Darkening(x, y) > 0; }

  Library library_;
  Container box_{library_};
  HostedControl* control_ = nullptr;
  ComPtr<_ucCardel> cardel_;
  Image image_;
};

// Size 5, offsets (3, 3): box (5, 5, 87, 47), the 100 x 60 shadow image stretched to 97 x 57 at (3, 3).
// Offsets (-3, -3): box (8, 8, 87, 47), the shadow at (0, 0).
TEST_F(ShadowControlTest, ShadowLiesUnderTheBoxTowardsTheOffsets) {
  EXPECT_EQ(At(5, 5), kWhite);
  EXPECT_EQ(At(90, 50), kWhite);
  EXPECT_NE(At(4, 30), kWhite);
  EXPECT_NE(At(30, 4), kWhite);
  for (int i = 0; i < 3; ++i) {
    for (int along : {0, 30, 59}) EXPECT_EQ(At(i, along), Background(i, along)) << i << ',' << along;
    for (int along : {0, 50, 99}) EXPECT_EQ(At(along, i), Background(along, i)) << along << ',' << i;
  }
  EXPECT_TRUE(Shaded(94, 30));
  EXPECT_TRUE(Shaded(50, 54));
  EXPECT_TRUE(Shaded(94, 54));
  EXPECT_GT(Darkening(93, 30), Darkening(98, 30));

  cardel_->put_ShadowOffsetX(-3);
  cardel_->put_ShadowOffsetY(-3);
  Changed();
  EXPECT_EQ(At(8, 8), kWhite);
  EXPECT_EQ(At(93, 53), kWhite);
  EXPECT_NE(At(7, 30), kWhite);
  EXPECT_NE(At(94, 30), kWhite);
  EXPECT_TRUE(Shaded(4, 30));
  EXPECT_TRUE(Shaded(30, 4));
  for (int i = 97; i < 100; ++i) EXPECT_EQ(At(i, 30), Background(i, 30)) << i;
  for (int i = 57; i < 60; ++i) EXPECT_EQ(At(50, i), Background(50, i)) << i;
}

TEST_F(ShadowControlTest, BorderAloneCastsTheShadowOfATransparentBox) {
  cardel_->put_BackColorOpacity(0);
  cardel_->put_BorderWidth(2);
  cardel_->put_Border(VARIANT_TRUE);
  EXPECT_EQ(At(50, 30), Background(50, 30));
  EXPECT_TRUE(Shaded(94, 30));
  EXPECT_TRUE(Shaded(50, 54));
}

// A resize while too small for the box leaves no image; only the next Resize can bring it back.
TEST_F(ShadowControlTest, ColourChangeAndResizeRebuildTheShadow) {
  const Pixel black = At(94, 30);
  cardel_->put_ShadowColor(RGB(255, 0, 0));
  Changed();
  const Pixel red = At(94, 30);
  EXPECT_GT(red >> 16 & 0xFF, red >> 8 & 0xFF);
  EXPECT_GT(red >> 16 & 0xFF, black >> 16 & 0xFF);

  ASSERT_HRESULT_SUCCEEDED(control_->Move({kRect.left, kRect.top, kRect.left + 8, kRect.top + 8}));
  cardel_->put_ShadowColor(RGB(0, 0, 0));
  ASSERT_HRESULT_SUCCEEDED(control_->Move(kRect));
  box_.Repaint();
  Changed();
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
    SetCaption(L"Shade");
    cardel_->put_CaptionShadow(VARIANT_TRUE);
  }

  struct Shade {
    int pixels = 0, rows = 0;
    double centreX = 0;
    int left = INT_MAX, right = INT_MIN;
  };
  Shade Measure(int width = 100) {
    const Image image = box_.Capture({kRect.left, kRect.top, kRect.left + width, kRect.bottom});
    Shade shade;
    double sumX = 0;
    for (int y = 0; y < image.height - 1; ++y) {
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

TEST_F(CaptionShadowControlTest, ShowsOnlyWhileOnAndWithASize) {
  const Shade on = Measure();
  EXPECT_GT(on.pixels, 20);
  EXPECT_NEAR(on.centreX, 50, 6);
  cardel_->put_CaptionShadow(VARIANT_FALSE);
  EXPECT_EQ(Measure().pixels, 0);
  cardel_->put_CaptionShadow(VARIANT_TRUE);
  EXPECT_EQ(Measure().pixels, on.pixels);
  cardel_->put_ShadowSize(0);
  EXPECT_EQ(Measure().pixels, 0);
}

// A stale image would be stretched to the new body and come out twice as wide, or keep its lines.
TEST_F(CaptionShadowControlTest, ResizeAndWordWrapRebuildIt) {
  const Shade narrow = Measure();
  ASSERT_HRESULT_SUCCEEDED(control_->Move({kRect.left, kRect.top, kRect.left + 200, kRect.bottom}));
  box_.Repaint();
  const Shade wide = Measure(200);
  EXPECT_NEAR(wide.centreX, 100, 6);
  EXPECT_NEAR(wide.right - wide.left, narrow.right - narrow.left, 2);

  ASSERT_HRESULT_SUCCEEDED(control_->Move(kRect));
  SetCaption(L"Shade and more shade");
  const Shade wrapped = Measure();
  cardel_->put_WordWrap(VARIANT_FALSE);
  EXPECT_GT(wrapped.rows, Measure().rows);
}

}  // namespace
}  // namespace cardel::host
