// The picture layer inside the hosted control: clipped to the outline, placed in the body, turned,
// and rebuilt after the changes that drop the cached brush.
#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>

#include "common/gdiplus_session.h"
#include "container.h"
#include "library.h"
#include "test_pictures.h"

namespace cardel::host {
namespace {

using testpictures::EncodeBitmap;

constexpr Pixel kRed = 0xFF0000, kBlue = 0x0000FF, kWhite = 0xFFFFFF;
constexpr RECT kRect{20, 20, 140, 100};

class PicturePaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control_ = &box_.Add(kRect);
    cardel_ = control_->Cardel();
    ASSERT_TRUE(cardel_);
    SetCaption(cardel_.Get(), L"");
    cardel_->put_FrontColor(0xFFFFFF);
  }
  void Load(const std::vector<uint8_t>& bytes) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(bytes.size()), 0};
    SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
    memcpy(array->pvData, bytes.data(), bytes.size());
    VARIANT_BOOL loaded = 0;
    cardel_->PictureFromStream(&array, &loaded);
    SafeArrayDestroy(array);
    ASSERT_EQ(loaded, VARIANT_TRUE);
  }
  Image Shot() {
    box_.Repaint();
    return box_.Capture(control_->Rect());
  }

  gdip::Session gdiplus_;
  Library library_;
  Container box_{library_};
  HostedControl* control_ = nullptr;
  ComPtr<_ucCardel> cardel_;
  const std::vector<uint8_t> halves_ =
      EncodeBitmap(20, 10, [](int x, int) { return x < 10 ? 0xFFFF0000u : 0xFF0000FFu; }, L"image/png");
};

TEST_F(PicturePaintTest, ThePictureLiesOverTheFillAtTheBodysCornerAndFollowsItsProperties) {
  Load(halves_);
  const Image image = Shot();
  for (const auto& [x, y, colour] : {std::tuple{0, 0, kRed}, {9, 9, kRed}, {10, 0, kBlue}, {19, 9, kBlue},
                                      {20, 5, kWhite}, {5, 10, kWhite}})
    EXPECT_EQ(image.At(x, y), colour) << x << ',' << y;
  cardel_->put_PictureAngle(180);  // each change drops the cached brush
  const Image turned = Shot();
  EXPECT_EQ(turned.At(1, 1), kBlue);
  EXPECT_EQ(turned.At(18, 8), kRed);
  cardel_->put_PictureOpacity(0);
  EXPECT_EQ(Shot().At(1, 1), kWhite);
  cardel_->put_PictureOpacity(100);
  VARIANT result;
  VariantInit(&result);
  cardel_->PictureDelete(&result);
  EXPECT_EQ(Shot().At(18, 8), kWhite);
}

// The shadow offsets shape the picture brush only through the picture's shadow: with it on, a new
// offset must drop the cached brush so the shadow moves.
TEST_F(PicturePaintTest, ShadowOffsetsRebuildTheBrushOnlyThroughThePictureShadow) {
  Load(EncodeBitmap(20, 10, [](int, int) { return 0xFFFF0000u; }, L"image/png"));
  cardel_->put_PictureAlignmentH(pCenter);
  cardel_->put_PictureAlignmentV(pMiddle);
  cardel_->put_ShadowSize(1);
  cardel_->put_ShadowColor(0x000000);
  cardel_->put_ShadowColorOpacity(100);
  const Image plain = Shot();
  cardel_->put_ShadowOffsetX(12);
  EXPECT_EQ(Shot().pixels, plain.pixels) << "no picture shadow: the offset changes nothing";

  cardel_->put_PictureShadow(VARIANT_TRUE);
  const Image before = Shot();
  cardel_->put_ShadowOffsetX(30);
  const Image after = Shot();
  EXPECT_NE(after.pixels, before.pixels) << "the shadow follows the new offset";
}

TEST_F(PicturePaintTest, WhatLeavesTheRoundedOutlineIsCutOff) {
  Load(EncodeBitmap(300, 200, [](int, int) { return 0xFFFF0000u; }, L"image/png"));
  for (auto put : {&_ucCardel::put_BorderCornerLeftTop, &_ucCardel::put_BorderCornerRightTop,
                   &_ucCardel::put_BorderCornerBottomLeft, &_ucCardel::put_BorderCornerBottomRight})
    (cardel_.Get()->*put)(20);
  const Image image = Shot();
  EXPECT_EQ(image.At(60, 40), kRed);
  EXPECT_EQ(image.At(60, 0), kRed);
  EXPECT_EQ(image.At(0, 40), kRed);
  EXPECT_EQ(image.At(1, 1), Container::BackgroundAt(kRect.left + 1, kRect.top + 1));
  EXPECT_EQ(image.At(118, 78), Container::BackgroundAt(kRect.right - 2, kRect.bottom - 2));
}

// Turned clockwise: the left (red) half goes up, the right (blue) half down, both past the box.
TEST_F(PicturePaintTest, AQuarterTurnSticksOutOfTheBoxAndIsCutOff) {
  Load(EncodeBitmap(100, 20, [](int x, int) { return x < 50 ? 0xFFFF0000u : 0xFF0000FFu; }, L"image/png"));
  cardel_->put_PictureAlignmentH(pCenter);
  cardel_->put_PictureAlignmentV(pMiddle);
  cardel_->put_PictureAngle(90);
  const Image image = Shot();
  EXPECT_EQ(image.At(59, 1), kRed);
  EXPECT_EQ(image.At(59, 78), kBlue);
  EXPECT_EQ(image.At(30, 40), kWhite);
  const Image around = box_.Capture({kRect.left + 50, kRect.top - 3, kRect.left + 70, kRect.top});
  for (int x = 0; x < around.width; ++x)
    EXPECT_EQ(around.At(x, 1), Container::BackgroundAt(kRect.left + 50 + x, kRect.top - 2)) << x;
}

TEST_F(PicturePaintTest, AResizeLaysThePictureOutAgain) {
  Load(halves_);
  cardel_->put_PictureAlignmentH(pRight);
  const Image before = Shot();
  EXPECT_EQ(before.At(before.width - 3, 1), kBlue);
  ASSERT_HRESULT_SUCCEEDED(control_->Move({kRect.left, kRect.top, kRect.left + 200, kRect.bottom}));
  const Image after = Shot();
  ASSERT_EQ(after.width, 200);
  EXPECT_EQ(after.At(before.width - 3, 1), kWhite);
  EXPECT_EQ(after.At(after.width - 3, 1), kBlue);
}

}  // namespace
}  // namespace cardel::host
