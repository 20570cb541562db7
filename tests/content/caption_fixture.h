#pragma once
// Drawing the caption straight onto an off-screen surface, with the inputs a test changes one at
// a time from a plain black caption in Tahoma.
#include <gtest/gtest.h>

#include "canvas.h"
#include "library.h"
#include "content/caption.h"
#include "render/gdiplus_session.h"
#include "test_fonts.h"

namespace cardel::testing {

class CaptionFixture : public ::testing::Test {
 protected:
  static constexpr int kWidth = 300, kHeight = 200;
  static constexpr uint32_t kBlack = 0xFF000000, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

  CaptionFixture() : canvas_(kWidth, kHeight), font_(MakeFont(L"Tahoma", 16)) {
    inputs_.FontName = L"Tahoma";
    inputs_.Font = font_.Get();
    inputs_.ForeColor = RGB(0, 0, 0);
    inputs_.ForeColorOpacity = 100;
    inputs_.CaptionBorderColor = RGB(255, 0, 0);
    inputs_.ControlSize = SIZE{kWidth, kHeight};
  }

  InkBox Draw(BodyRect rect, CaptionPass pass = CaptionPass::Paint) {
    canvas_.Clear();
    DrawCaption(canvas_.Graphics(), rect, inputs_, pass);
    return canvas_.Ink();
  }
  InkBox Draw(const CaptionInputs& inputs, BodyRect rect) {
    canvas_.Clear();
    DrawCaption(canvas_.Graphics(), rect, inputs, CaptionPass::Paint);
    return canvas_.Ink();
  }

  testhost::OleApartment ole_;
  gdip::Session session_;
  Canvas canvas_;
  ComPtr<IFont> font_;
  CaptionInputs inputs_;
};

}  // namespace cardel::testing
