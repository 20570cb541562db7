// The acrylic background in the hosted control: the blurred copy of what lies beneath, inside the
// outline only, aligned at any drawing offset, following resizes, and leaking nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "common/gdiplus_session.h"
#include "container.h"
#include "dib_surface.h"
#include "gdi_objects.h"
#include "library.h"
#include "render/acrylic_blur.h"

namespace cardel::host {
namespace {

constexpr RECT kRect{20, 20, 220, 140};

// The blur the control should show over these pixels.
Image BlurredCopy(const Image& under) {
  std::vector<uint8_t> bytes(under.pixels.size() * 4), scratch(bytes.size());
  for (size_t i = 0; i < under.pixels.size(); ++i)
    for (int c = 0; c < 3; ++c) bytes[i * 4 + c] = under.pixels[i] >> (8 * c) & 255;
  GaussianBlur({bytes, under.width, under.height}, scratch, kAcrylicBlurRadius);
  Image out = under;
  for (size_t i = 0; i < out.pixels.size(); ++i)
    out.pixels[i] = bytes[i * 4 + 2] << 16 | bytes[i * 4 + 1] << 8 | bytes[i * 4];
  return out;
}

int ChannelDistance(Pixel a, Pixel b) {
  int worst = 0;
  for (int shift = 0; shift < 24; shift += 8)
    worst = std::max(worst, std::abs(int(a >> shift & 255) - int(b >> shift & 255)));
  return worst;
}

class AcrylicControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Something with large shapes beneath the glass, so that a misplaced blur shows.
    HostedControl& beneath = box_.Add({kRect.left, kRect.top, kRect.left + 90, kRect.bottom});
    beneath.Cardel()->put_FrontColor(0x0000FF);
    Blank(beneath.Cardel());
    control_ = &box_.Add(kRect);
    cardel_ = control_->Cardel();
    Blank(cardel_);
    cardel_->put_BackColorOpacity(0);
    for (auto put : {&_ucCardel::put_BorderCornerLeftTop, &_ucCardel::put_BorderCornerRightTop,
                     &_ucCardel::put_BorderCornerBottomLeft, &_ucCardel::put_BorderCornerBottomRight})
      (cardel_.Get()->*put)(30);
  }
  static void Blank(const ComPtr<_ucCardel>& c) {
    SetCaption(c.Get(), L"");
  }
  Image Shot() {
    box_.Repaint();
    return box_.Capture(control_->Rect());
  }
  // Checks points well inside the rounded outline.
  template <class Check>
  void ForInside(const Image& image, Check check) {
    for (int y = 30; y < image.height - 30; y += 7)
      for (int x = 10; x < image.width - 10; x += 7) check(x, y);
  }
  void ExpectBlurOf(const Image& under, const Image& frosted) {
    const Image want = BlurredCopy(under);
    ForInside(frosted, [&](int x, int y) { EXPECT_LE(ChannelDistance(frosted.At(x, y), want.At(x, y)), 2) << x << "," << y; });
  }

  gdip::Session gdiplus_;
  Library library_;
  Container box_{library_};
  HostedControl* control_ = nullptr;
  ComPtr<_ucCardel> cardel_;
};

TEST_F(AcrylicControlTest, ShowsTheBlurredBackgroundInsideTheOutlineOnlyUnlessTheFillIsOpaque) {
  const Image under = Shot();
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_BackAcrylicBlur(VARIANT_TRUE));
  const Image frosted = Shot();
  ExpectBlurOf(under, frosted);
  int blurred = 0;
  ForInside(frosted, [&](int x, int y) { blurred += frosted.At(x, y) != under.At(x, y); });
  EXPECT_GT(blurred, 100);
  EXPECT_EQ(frosted.At(1, 1), under.At(1, 1));
  EXPECT_EQ(frosted.At(frosted.width - 2, frosted.height - 2), under.At(under.width - 2, under.height - 2));

  cardel_->put_FrontColor(0x00FF00);
  cardel_->put_BackColorOpacity(100);
  const Image covered = Shot();
  ForInside(covered, [&](int x, int y) { EXPECT_EQ(covered.At(x, y), 0x00FF00u) << x << "," << y; });
}

TEST_F(AcrylicControlTest, DrawingAtAnOffsetKeepsTheBlurUnderTheBox) {
  cardel_->put_BackAcrylicBlur(VARIANT_TRUE);
  const Image frosted = Shot();
  const DibSurface target(260, 200, 0);
  LONG y = 20;
  ASSERT_EQ(cardel_->Draw(static_cast<LONG>(reinterpret_cast<intptr_t>(target.Dc())), 0, 10, &y), S_OK);
  ForInside(frosted, [&](int x, int yy) {
    EXPECT_LE(ChannelDistance(target.At(x + 10, yy + 20), frosted.At(x, yy)), 1) << x << "," << yy;
  });
  EXPECT_EQ(target.Raw(10 + 1, 20 + 1), 0u);
}

TEST_F(AcrylicControlTest, AResizeCapturesAndBlursTheNewSize) {
  const RECT small{kRect.left, kRect.top, kRect.left + 100, kRect.top + 60};
  const RECT large{kRect.left, kRect.top, kRect.left + 200, kRect.top + 120};
  ASSERT_HRESULT_SUCCEEDED(control_->Move(large));
  const Image under = Shot();
  ASSERT_HRESULT_SUCCEEDED(control_->Move(small));
  cardel_->put_BackAcrylicBlur(VARIANT_TRUE);
  Shot();
  ASSERT_HRESULT_SUCCEEDED(control_->Move(large));
  const Image frosted = Shot();
  ASSERT_EQ(std::pair(frosted.width, frosted.height), std::pair(200, 120));
  ExpectBlurOf(under, frosted);
}

TEST_F(AcrylicControlTest, TogglingItAThousandTimesLeaksNoGdiObjects) {
  const auto toggle = [&](int times) {
    for (int i = 0; i < times; ++i) {
      cardel_->put_BackAcrylicBlur(VARIANT_TRUE);
      cardel_->put_BackAcrylicBlur(VARIANT_FALSE);
    }
    Shot();
  };
  toggle(1);
  const size_t before = LiveGdiObjects();
  ASSERT_GT(before, 0u);
  cardel_->put_Redraw(VARIANT_FALSE);
  toggle(1000);
  cardel_->put_Redraw(VARIANT_TRUE);
  toggle(10);
  EXPECT_EQ(LiveGdiObjects(), before);
}

}  // namespace
}  // namespace cardel::host
