// The hosted control's auto-size, its Polygon reached late-bound with an array of the caller's
// memory, and the Image snapshot.
#include <gtest/gtest.h>

#include <array>

#include "canvas.h"
#include "container.h"
#include "content/auto_size.h"
#include "content/caption.h"
#include "control_access.h"
#include "dib_surface.h"
#include "library.h"
#include "recorders.h"
#include "render/gdiplus_session.h"
#include "test_fonts.h"

namespace cardel::testing {
namespace {

using testhost::Variant;
using Size = std::pair<LONG, LONG>;

void SetCaption(_ucCardel* cardel, const wchar_t* text) {
  BSTR caption = SysAllocString(text);
  cardel->put_Caption(&caption);
  SysFreeString(caption);
}

class MethodsControlTest : public ::testing::Test {
 protected:
  static constexpr RECT kRect{10, 10, 210, 110};

  MethodsControlTest() : control_(box_.Add(kRect)), cardel_(control_.Cardel()) { cardel_->GetWindowsDPI(&dpi_); }
  Size Requested() const {
    const RECT r = control_.GetSite().PosRectRequests().back();
    return {r.right - r.left, r.bottom - r.top};
  }
  // The caption on one line in the ambient font, as the renderer measures it.
  static SIZE Measured(const wchar_t* text) {
    const ComPtr<IFont> font = MakeFont(L"Tahoma", 8);
    BodyRect rect{0, 0, 100000, 0};
    DrawCaption(Canvas(1, 1).Graphics(), rect,
                {.Caption = text, .FontName = L"Tahoma", .Font = font.Get(), .WordWrap = false}, CaptionPass::Measure);
    return {rect.width, rect.height};
  }

  gdip::Session gdiplus_;
  testhost::Library library_;
  testhost::Container box_{library_, SIZE{400, 300}};
  testhost::HostedControl& control_;
  ComPtr<_ucCardel> cardel_;
  double dpi_ = 1;
};

TEST_F(MethodsControlTest, AutoSizeFitsTheCaptionWhenSetAndWhenTheCaptionChangesOnly) {
  cardel_->put_WordWrap(VARIANT_FALSE);
  cardel_->put_CaptionPaddingX(5);
  cardel_->put_CaptionPaddingY(3);
  cardel_->put_BorderWidth(1);
  SetCaption(cardel_.Get(), L"Auto-sized");
  ASSERT_EQ(cardel_->put_AutoSize(VARIANT_TRUE), S_OK);
  const SIZE text = Measured(L"Auto-sized");
  const AutoSizeRoom room = ScaledRoom({5, 3, 1}, static_cast<float>(dpi_));
  EXPECT_EQ(Requested(), Size(text.cx + room.width + 2, text.cy + room.height + 1));

  ComPtr<IFontDisp> larger;
  MakeFont(L"Tahoma", 20).As(&larger);
  cardel_->putref_Font(larger.Get());
  EXPECT_EQ(control_.GetSite().PosRectRequests().size(), 1u);
  SetCaption(cardel_.Get(), L"");
  EXPECT_EQ(control_.GetSite().PosRectRequests().size(), 2u);
  EXPECT_EQ(Requested(), Size(room.width + 2, room.height + 1));

  testhost::HostedControl& idle = box_.Add(RECT{0, 0, 50, 50}, {.activate = false});
  SetCaption(idle.Cardel().Get(), L"");
  ASSERT_EQ(idle.Cardel()->put_AutoSize(VARIANT_TRUE), S_OK);
  SIZEL extent{};
  idle.Query<IOleObject>()->GetExtent(DVASPECT_CONTENT, &extent);
  EXPECT_EQ(MulDiv(extent.cx, static_cast<int>(96 * dpi_), 2540), 2);
  EXPECT_EQ(idle.GetSite().CountOf("RequestNewObjectLayout"), 1u);
}

TEST_F(MethodsControlTest, PolygonReadsTheCallersArrayAndRefusesBadMemoryWithoutHarm) {
  const controltest::ByName byName(control_.Unknown());
  const DibSurface surface(40, 40);
  const std::array<int32_t, 6> triangle{2, 2, 30, 2, 30, 30};
  auto polygon = [&](intptr_t address, long count) {
    Variant result;
    const long dc = static_cast<long>(reinterpret_cast<intptr_t>(surface.Dc()));
    const HRESULT hr = byName.Call(L"Polygon",
                                   {Variant::Long(dc), Variant::Long(0), Variant::Long(0), Variant::Short(100),
                                    Variant::Long(static_cast<long>(address)), Variant::Long(count)},
                                   result);
    return SUCCEEDED(hr) && !result.ToBool() ? E_FAIL : hr;
  };
  const HRESULT invalid = ole::AutomationHresult(ole::RuntimeError::InvalidProcedureCall);
  EXPECT_EQ(polygon(0, 6), invalid);
  EXPECT_EQ(polygon(reinterpret_cast<intptr_t>(triangle.data()), -6), invalid);
  EXPECT_EQ(surface.At(25, 8), 0xFFFFFFu);
  EXPECT_EQ(polygon(reinterpret_cast<intptr_t>(triangle.data()), 6), S_OK);
  EXPECT_EQ(surface.At(25, 8), 0u);
}

// 0x00RRGGBB pixels of a picture's bitmap, rows from the top; empty once the bitmap is gone.
std::vector<uint32_t> PixelsOf(IPicture* picture, int width, int height) {
  OLE_HANDLE handle = 0;
  picture->get_Handle(&handle);
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
  const WindowDc screen(nullptr);
  const auto bitmap = reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(handle));
  if (GetDIBits(screen.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height) return {};
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

TEST_F(MethodsControlTest, ImageIsAnOpaqueSnapshotOverFrontColorThatEachPictureOwns) {
  SetCaption(cardel_.Get(), L"");
  cardel_->put_FrontColor(RGB(0, 128, 0));
  cardel_->put_BackColorOpacity(50);
  cardel_->put_BorderCornerLeftTop(20);
  cardel_->put_Border(VARIANT_TRUE);
  cardel_->put_BorderWidth(2);
  cardel_->put_BorderColor(RGB(0, 0, 255));
  testhost::EventRecorder events;
  ASSERT_EQ(events.Connect(control_.Unknown()), S_OK);
  ComPtr<IPicture> first, second;
  ASSERT_EQ(cardel_->get_Image(&first), S_OK);
  ASSERT_EQ(cardel_->get_Image(&second), S_OK);
  EXPECT_TRUE(events.Events().empty());
  first.Reset();

  const std::vector<uint32_t> shot = PixelsOf(second.Get(), 200, 100);
  ASSERT_EQ(shot.size(), 200u * 100u);
  EXPECT_EQ(shot[0], 0x008000u);               // outside the rounded corner
  EXPECT_EQ(shot[60 * 200], 0x0000FFu);        // the border where the side is straight
  EXPECT_EQ(shot[50 * 200 + 100], 0x008000u);  // half-transparent green over green
}

TEST_F(MethodsControlTest, AcrylicPaintsTheSameAfterAnExport) {
  SetCaption(cardel_.Get(), L"");
  cardel_->put_BackColorOpacity(0);
  cardel_->put_BackAcrylicBlur(VARIANT_TRUE);
  box_.Repaint();
  const testhost::Image before = box_.Capture(kRect);
  ASSERT_NE(before.At(8, 4), testhost::Container::BackgroundAt(kRect.left + 8, kRect.top + 4));  // blurred
  ComPtr<IPicture> image;
  ASSERT_EQ(cardel_->get_Image(&image), S_OK);
  box_.Repaint();
  EXPECT_EQ(box_.Capture(kRect).pixels, before.pixels);
}

}  // namespace
}  // namespace cardel::testing
