// The public drawing methods and auto-size: DrawLine, Polygon and DrawText on a memory device
// context at the DPI scales a screen can have, the points Polygon takes from its arguments (also
// late-bound from an array of the caller's memory), the auto-size arithmetic and the hosted
// control's auto-size, and the Image snapshot.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <memory>
#include <thread>

#include "canvas.h"
#include "common/cardel_interfaces.h"
#include "common/checked_int.h"
#include "common/gdiplus_session.h"
#include "container.h"
#include "content/auto_size.h"
#include "content/caption.h"
#include "content/drawing_methods.h"
#include "content/polygon_points.h"
#include "control_access.h"
#include "dib_surface.h"
#include "library.h"
#include "recorders.h"
#include "test_fonts.h"
#include "variant.h"

namespace cardel::testing {
namespace {

using ole::RuntimeError;
using host::DibSurface;
using host::SetCaption;
using host::Variant;

std::unique_ptr<SAFEARRAY, decltype(&SafeArrayDestroy)> Pack(const std::vector<Variant>& values) {
  std::unique_ptr<SAFEARRAY, decltype(&SafeArrayDestroy)> array(
      SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values.size())), &SafeArrayDestroy);
  for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) SafeArrayPutElement(array.get(), &i, values[i].in());
  return array;
}

Variant Address(const void* p) { return Variant::Long(static_cast<long>(reinterpret_cast<intptr_t>(p))); }

std::vector<Variant> Longs(std::initializer_list<long> values) {
  std::vector<Variant> result;
  for (long v : values) result.push_back(Variant::Long(v));
  return result;
}

class DrawingMethodsTest : public ::testing::Test {
 protected:
  const DibSurface& Polygon(int32_t penWidth, float scale, const std::vector<Variant>& values) {
    surface_.emplace(80, 80);
    EXPECT_TRUE(
        DrawPolygonOn(surface_->Dc(), penWidth, 0, 100, PolygonIntegers(Pack(values).get(), scale).value).value);
    return *surface_;
  }

  host::OleApartment ole_;
  gdip::Session gdiplus_;
  std::optional<DibSurface> surface_;
};

TEST_F(DrawingMethodsTest, LineAtOneAndAQuarterIsScaledInLengthAndWidthAndOpaque) {
  DibSurface thin(160, 20), wide(160, 20);
  EXPECT_EQ(DrawLineOn(thin.Dc(), {0, 8, 100, 8, 0, 100, 1}, 1.25f).value, true);
  EXPECT_EQ(thin.At(60, 10), 0u);
  EXPECT_EQ(thin.At(123, 10), 0u);
  EXPECT_EQ(thin.At(127, 10), 0xFFFFFFu);
  // Wine strokes on a device context with whole-pixel GDI pens, so 1.25 shows as 1 there; 4 x 1.25 shows as 5.
  EXPECT_NEAR(thin.Darkness(60, 0, 20), 1.15, 0.2);
  DrawLineOn(wide.Dc(), {0, 8, 100, 8, 0, 100, 4}, 1.25f);
  EXPECT_NEAR(wide.Darkness(60, 0, 20), 5, 0.15);
  EXPECT_THROW(DrawLineOn(thin.Dc(), {0, 0, 10, 0, 0, 250, 1}, 1.25f), ArithmeticOverflow);
}

TEST_F(DrawingMethodsTest, PolygonFillsScaledValuesAndOutlinesWithAnUnscaledPen) {
  const std::vector<Variant> triangle = Longs({0, 0, 10, 0, 10, 10});
  EXPECT_EQ(Polygon(0, 1.5f, triangle).At(14, 6), 0u);  // only the scaled triangle reaches x = 14
  EXPECT_EQ(surface_->At(3, 12), 0xFFFFFFu);
  for (float scale : {1.0f, 1.5f}) {
    EXPECT_NEAR(Polygon(2, scale, Longs({10, 10, 40, 10, 40, 40})).Darkness(30, 0, 22), 2.0, 0.15) << scale;
    EXPECT_EQ(surface_->At(35, 25), 0xFFFFFFu) << scale;
  }
  std::vector<Variant> seven = triangle;
  seven.push_back(Variant::Long(70));
  const std::vector<uint32_t> threePoints = Polygon(0, 1, seven).All();
  EXPECT_EQ(threePoints, Polygon(0, 1, triangle).All());
}

TEST_F(DrawingMethodsTest, AddressFormCopiesOnlyReadableMemoryAndUnscaled) {
  const std::array<int32_t, 4> own{3, 5, 7, 9};
  const size_t page = 4096;
  auto* block = static_cast<char*>(VirtualAlloc(nullptr, 3 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  DWORD old = 0;
  VirtualProtect(block + page, page, PAGE_NOACCESS, &old);
  VirtualProtect(block + 2 * page, page, PAGE_READWRITE | PAGE_GUARD, &old);
  void* freed = VirtualAlloc(nullptr, page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  VirtualFree(freed, 0, MEM_RELEASE);

  EXPECT_EQ(PolygonIntegers(Pack({Address(own.data()), Variant::Long(4)}).get(), 1.5f).value,
            std::vector<int32_t>(own.begin(), own.end()));
  EXPECT_FALSE(PolygonIntegers(Pack({Address(block + page - 8), Variant::Long(2)}).get(), 1).error);
  const struct {
    const char* what;
    Variant address, count;
  } refused[] = {
      {"running into no access", Address(block + page - 8), Variant::Long(3)},
      {"guard page", Address(block + 2 * page), Variant::Long(1)},
      {"freed", Address(freed), Variant::Long(1)},
      {"absurd count", Address(own.data()), Variant::Long(kMaxPolygonIntegers + 1)},
  };
  for (const auto& c : refused)
    EXPECT_EQ(PolygonIntegers(Pack({c.address, c.count}).get(), 1).error, RuntimeError::InvalidProcedureCall) << c.what;
  EXPECT_EQ(PolygonIntegers(Pack({Variant::String(L"here"), Variant::Long(1)}).get(), 1).error,
            RuntimeError::TypeMismatch);
  EXPECT_EQ(PolygonIntegers(Pack(Longs({1, 2, 2000000000})).get(), 1.5f).error, RuntimeError::Overflow);
  VirtualFree(block, 0, MEM_RELEASE);
}

// Another thread takes the page away and gives it back while the points are read: each read is a copy or a
// refusal, never a fault in the host.
TEST_F(DrawingMethodsTest, AddressFormSurvivesAPageTakenAwayMeanwhile) {
  // Only the last page comes and goes, so the copy has long to run before it gets there.
  const size_t page = 4096, pages = 16;
  auto* block = static_cast<char*>(VirtualAlloc(nullptr, pages * page, MEM_RESERVE, PAGE_NOACCESS));
  VirtualAlloc(block, (pages - 1) * page, MEM_COMMIT, PAGE_READWRITE);
  char* last = block + (pages - 1) * page;
  std::atomic<bool> done{false};
  std::thread flipper([&] {
    while (!done) {
      VirtualAlloc(last, page, MEM_COMMIT, PAGE_READWRITE);
      VirtualFree(last, page, MEM_DECOMMIT);
    }
  });
  const auto count = Variant::Long(static_cast<long>(pages * page / sizeof(int32_t)));
  int refused = 0;
  for (int i = 0; i < 20000; ++i) {
    const auto read = PolygonIntegers(Pack({Address(block), count}).get(), 1);
    if (!read.error) continue;
    ++refused;
    EXPECT_EQ(*read.error, RuntimeError::InvalidProcedureCall);
  }
  done = true;
  flipper.join();
  VirtualFree(block, 0, MEM_RELEASE);
  EXPECT_GT(refused, 0);
}

TEST_F(DrawingMethodsTest, TextAnswersIn96DpiPixelsAndTakesItsFontSizeFromTheTarget) {
  const ComPtr<IFont> font = MakeFont(L"Tahoma", 12);
  auto text = [&](float scale, int logPixelsY, int16_t opacity = 100) {
    surface_.emplace(300, 120);
    return DrawTextOn(surface_->Dc(), {L"Measured", 20, 10, 250, 100, font.Get(), 0, opacity}, scale, logPixelsY);
  };
  const int32_t plain = text(1, 96).value;
  const std::vector<uint32_t> opaque = surface_->All();
  ASSERT_GT(plain, 20);
  EXPECT_NEAR(text(1.5f, 96).value * 1.5, plain, 1.5);                     // the same device width, reported over 1.5
  EXPECT_NEAR(text(1, 192).value / static_cast<double>(plain), 2.0, 0.1);  // a printer's vertical DPI
  EXPECT_FALSE(text(1, 96, 250).error);
  EXPECT_EQ(surface_->All(), opaque);
}

TEST(AutoSizeArithmetic, RoomAroundTheMeasuredCaption) {
  const AutoSizeRoomInputs padded{.CaptionPaddingX = 5, .CaptionPaddingY = 3, .BorderWidth = 1};
  const struct {
    const char* what;
    AutoSizeRoomInputs room;
    float scale;
    SIZE caption, expected;
  } cases[] = {
      {"bare", {}, 1, {57, 16}, {59, 17}},
      {"padding and border", padded, 1, {57, 16}, {71, 25}},
      {"shadow", {.BackShadow = true, .ShadowSize = 4}, 1, {57, 16}, {67, 25}},
      {"shadow size alone", {.ShadowSize = 4}, 1, {57, 16}, {59, 17}},
      {"bottom tail", {.CallOut = true, .CallOutPosicion = coBottom, .CallOutLen = 10}, 1, {57, 16}, {59, 27}},
      {"1.5 DPI scales the room only", padded, 1.5f, {57, 16}, {77, 29}},
      {"empty caption", padded, 1, {0, 0}, {14, 9}},
  };
  for (const auto& c : cases) {
    const SIZE size = FittedClientSize(ScaledRoom(c.room, c.scale), c.caption);
    EXPECT_EQ(std::pair(size.cx, size.cy), std::pair(c.expected.cx, c.expected.cy)) << c.what;
  }
  EXPECT_THROW(ScaledRoom({.CaptionPaddingX = 20000}, 1), ArithmeticOverflow);
}

using Size = std::pair<LONG, LONG>;

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
  host::Library library_;
  host::Container box_{library_, SIZE{400, 300}};
  host::HostedControl& control_;
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

  host::HostedControl& idle = box_.Add(RECT{0, 0, 50, 50}, {.activate = false});
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
  host::EventRecorder events;
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
  const host::Image before = box_.Capture(kRect);
  ASSERT_NE(before.At(8, 4), host::Container::BackgroundAt(kRect.left + 8, kRect.top + 4));  // blurred
  ComPtr<IPicture> image;
  ASSERT_EQ(cardel_->get_Image(&image), S_OK);
  box_.Repaint();
  EXPECT_EQ(box_.Capture(kRect).pixels, before.pixels);
}

}  // namespace
}  // namespace cardel::testing
