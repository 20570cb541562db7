// DrawLine, Polygon and DrawText on a memory device context at the DPI scales a screen can have,
// the points Polygon takes from its arguments, and the auto-size arithmetic.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "content/auto_size.h"
#include "content/drawing_methods.h"
#include "content/polygon_points.h"
#include "control/cardel_interfaces.h"
#include "dib_surface.h"
#include "library.h"
#include "render/checked_int.h"
#include "render/gdiplus_session.h"
#include "test_fonts.h"
#include "variant.h"

namespace cardel::testing {
namespace {

using ole::RuntimeError;
using testhost::Variant;

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

  testhost::OleApartment ole_;
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
  EXPECT_EQ(DrawLineOn(thin.Dc(), {0, 0, 10, 0, 0, 250, 1}, 1.25f).error, RuntimeError::Overflow);
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

}  // namespace
}  // namespace cardel::testing
