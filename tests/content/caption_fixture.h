#pragma once
// Drawing the caption straight onto an off-screen surface, with the inputs a test changes one at
// a time from a plain black caption in Tahoma.
#include <gtest/gtest.h>

#include "canvas.h"
#include "common/gdiplus_session.h"
#include "common/win_handles.h"
#include "content/caption.h"
#include "library.h"
#include "render/font_metrics.h"
#include "test_fonts.h"

namespace cardel::testing {

// The em size a font of this many points gets on this screen.
inline float EmPixels(double points) {
  const WindowDc screen(nullptr);
  CY size{};
  size.int64 = static_cast<LONGLONG>(points * 10000);
  return static_cast<float>(EmPixelsFromPoints(size, GetDeviceCaps(screen.get(), LOGPIXELSY)).value_or(0));
}

class CaptionFixture : public ::testing::Test {
 protected:
  static constexpr int kWidth = 300, kHeight = 200;
  static constexpr uint32_t kBlack = 0xFF000000, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
  static constexpr double kPoints = 16;

  CaptionFixture() : canvas_(kWidth, kHeight), font_(MakeFont(L"Tahoma", kPoints)) {
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

  host::OleApartment ole_;
  gdip::Session session_;
  Canvas canvas_;
  ComPtr<IFont> font_;
  CaptionInputs inputs_;
};

}  // namespace cardel::testing
