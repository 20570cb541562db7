// What the control paints, read back as pixels: from the container's window, from device contexts the
// test hands to Draw, and from a GDI+ surface of the test's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "common/gdiplus_handles.h"
#include "common/gdiplus_session.h"
#include "common/win_handles.h"
#include "container.h"
#include "control_access.h"
#include "dib_surface.h"
#include "host_error.h"
#include "library.h"
#include "ole_support.h"
#include "property_bag.h"
#include "recorders.h"
#include "common/gdiplus_handles.h"
#include "common/gdiplus_session.h"

namespace cardel::controltest {
namespace {

using namespace Gdiplus::DllExports;
using host::Container;
using host::ControlOptions;
using host::EventRecorder;
using host::HostedControl;
using host::Image;
using host::Library;
using host::Pixel;
using host::ToPixel;
namespace event_id = host::event_id;

constexpr POINT kOrigin{40, 32};
constexpr int kWidth = 100;
constexpr int kHeight = 60;
constexpr RECT kRect{kOrigin.x, kOrigin.y, kOrigin.x + kWidth, kOrigin.y + kHeight};
constexpr COLORREF kFill = RGB(200, 40, 40);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr Pixel kMagenta = 0xFF00FF;

int Channel(Pixel p, int shift) { return static_cast<int>(p >> shift & 0xFF); }

// GDI+ composes a colour of alpha a over an opaque pixel; Wine may land one level off.
Pixel Over(COLORREF colour, int alpha, Pixel beneath) {
  const Pixel top = ToPixel(colour);
  Pixel result = 0;
  for (int shift : {0, 8, 16}) {
    const int c = (Channel(top, shift) * alpha + Channel(beneath, shift) * (255 - alpha) + 127) / 255;
    result |= static_cast<Pixel>(c) << shift;
  }
  return result;
}

bool Near(Pixel a, Pixel b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) return false;
  return true;
}

std::string Hex(Pixel p) {
  char text[16];
  snprintf(text, sizeof text, "%06X", static_cast<unsigned>(p));
  return text;
}

// Draw calls aimed away from the container land on magenta, which the control never paints.
struct Canvas : host::DibSurface {
  Canvas(int width, int height) : DibSurface(width, height, kMagenta) {}
};

LONG Handle(const void* h) { return static_cast<LONG>(reinterpret_cast<intptr_t>(h)); }

class PaintTest : public testing::Test {
 protected:
  void SetUp() override {
    control_ = &box_.Add(kRect);
    cardel_ = control_->Cardel();
    ASSERT_TRUE(cardel_);
    double scale = 0;
    ASSERT_HRESULT_SUCCEEDED(cardel_->GetWindowsDPI(&scale));
    // Lengths below are in device pixels at a scale of 1.
    if (scale != 1.0) GTEST_SKIP() << "the screen is at " << 96 * scale << " DPI";
    ASSERT_HRESULT_SUCCEEDED(host::SetCaption(cardel_.Get(), L""));
    ASSERT_HRESULT_SUCCEEDED(cardel_->put_FrontColor(kFill));
    ASSERT_HRESULT_SUCCEEDED(events_.Connect(control_->Unknown()));
    box_.Repaint();
    events_.Clear();
  }

  // The control's pixels from its own top-left corner; the area may reach beyond it.
  Pixel At(int x, int y) {
    if (!image_) image_ = box_.Capture({kOrigin.x - 8, kOrigin.y - 8, kOrigin.x + 200, kOrigin.y + 120});
    return image_->At(x + 8, y + 8);
  }
  static Pixel Background(int x, int y) { return Container::BackgroundAt(kOrigin.x + x, kOrigin.y + y); }
  void Changed() { image_.reset(); }
  size_t Paints() const { return events_.Count(event_id::PrePaint); }

  void SetBorder(int position, int width, COLORREF colour, short opacity) {
    cardel_->put_FrontColor(kWhite);
    cardel_->put_BorderColor(colour);
    cardel_->put_BorderColorOpacity(opacity);
    cardel_->put_BorderWidth(static_cast<short>(width));
    cardel_->put_BorderPosition(static_cast<eBorderPosition>(position));
    cardel_->put_Border(VARIANT_TRUE);
    Changed();
  }

  Library library_;
  Container box_{library_};
  HostedControl* control_ = nullptr;
  ComPtr<_ucCardel> cardel_;
  EventRecorder events_;
  std::optional<Image> image_;
};

TEST_F(PaintTest, FillCoversTheBoxAndBlendsByItsOpacity) {
  for (POINT p : {POINT{50, 30}, POINT{2, 2}, POINT{96, 56}, POINT{2, 56}})
    EXPECT_EQ(Hex(At(p.x, p.y)), Hex(ToPixel(kFill))) << p.x << ',' << p.y;
  EXPECT_EQ(At(-3, 30), Background(-3, 30));
  EXPECT_EQ(At(50, -3), Background(50, -3));

  ASSERT_HRESULT_SUCCEEDED(cardel_->put_BackColorOpacity(50));
  Changed();
  for (POINT p : {POINT{20, 20}, POINT{28, 20}, POINT{50, 30}}) {
    const Pixel expected = Over(kFill, 128, Background(p.x, p.y));
    EXPECT_PRED3(Near, At(p.x, p.y), expected, 2) << p.x << ',' << p.y << ": " << Hex(expected);
  }

  // Opacity 0 leaves the host's background and still draws the border.
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_BackColorOpacity(0));
  Changed();
  int differing = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) differing += At(x, y) != Background(x, y);
  EXPECT_EQ(differing, 0);
  SetBorder(1, 10, kBlack, 100);
  EXPECT_EQ(Hex(At(2, 30)), Hex(ToPixel(kBlack)));
  EXPECT_EQ(At(50, 30), Background(50, 30));
}

// The brush gets GradientAngle + 90 degrees, so 0 runs from top to bottom.
TEST_F(PaintTest, GradientRunsFromColourOneToColourTwoAtItsAngle) {
  const COLORREF one = RGB(255, 0, 0), two = RGB(0, 0, 255);
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_GradientColor1(one));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_GradientColor2(two));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_Gradient(VARIANT_TRUE));
  const struct {
    short angle;
    POINT first, second;  // where colours 1 and 2 lie
  } cases[] = {
      {0, {50, 0}, {50, kHeight - 2}},
      {90, {kWidth - 2, 30}, {0, 30}},
      {180, {50, kHeight - 2}, {50, 0}},
      {270, {0, 30}, {kWidth - 2, 30}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.angle);
    ASSERT_HRESULT_SUCCEEDED(cardel_->put_GradientAngle(c.angle));
    Changed();
    EXPECT_PRED3(Near, At(c.first.x, c.first.y), ToPixel(one), 16) << Hex(At(c.first.x, c.first.y));
    EXPECT_PRED3(Near, At(c.second.x, c.second.y), ToPixel(two), 16) << Hex(At(c.second.x, c.second.y));
    const Pixel middle = At(50, 30);
    EXPECT_GT(Channel(middle, 16), 64);
    EXPECT_GT(Channel(middle, 0), 64);
  }
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_GradientAngle(0));
  Changed();
  for (int y : {5, 30, 55}) EXPECT_EQ(Hex(At(3, y)), Hex(At(95, y))) << "row " << y << " is one colour";
}

// A 10-pixel border on the 100 x 60 control, along the row y = 30. The fill outline runs at x = 0
// (inside), 5 (centred: the box is inset by half the border) and 10 (outside).
TEST_F(PaintTest, BorderLiesInsideOnOrOutsideTheOutline) {
  const struct {
    const char* what;
    int position, x;
    COLORREF opaque_border;  // the pixel with an opaque black border
    int half_alpha_over;     // with a half-transparent one: 0 over the white fill, 1 over the background
  } cases[] = {
      {"inside, outer edge", 0, 1, kBlack, 0},
      {"inside, beyond the stroke", 0, 13, kWhite, 0},
      {"centred, outer half", 1, 2, kBlack, 1},
      {"centred, inner half", 1, 8, kBlack, 0},
      {"centred, beyond the stroke", 1, 13, kWhite, 0},
      {"centred, right edge", 1, 97, kBlack, 1},
      {"outside, outer half", 2, 2, kBlack, 1},
      {"outside, inner half: no fill beneath", 2, 8, kBlack, 1},
      {"outside, beyond the stroke", 2, 13, kWhite, 0},
      {"outside, right edge", 2, 97, kBlack, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetBorder(c.position, 10, kBlack, 100);
    EXPECT_EQ(Hex(At(c.x, 30)), Hex(ToPixel(c.opaque_border)));
    if (c.opaque_border == kWhite) continue;
    SetBorder(c.position, 10, kBlack, 50);
    const Pixel beneath = c.half_alpha_over ? Background(c.x, 30) : ToPixel(kWhite);
    EXPECT_PRED3(Near, At(c.x, 30), Over(kBlack, 128, beneath), 2) << Hex(At(c.x, 30));
  }
}

// The whole inside border lies within the outline, on straight sides and round corners alike, under
// Wine as on Windows. A corner of radius 20 around (20, 20) has the band 10 to 20 from its centre.
TEST_F(PaintTest, InsideBorderIsAsWideAsItsWidthInsideTheOutline) {
  SetBorder(0, 10, kBlack, 100);
  EXPECT_EQ(Hex(At(7, 30)), Hex(ToPixel(kBlack)));
  EXPECT_EQ(Hex(At(92, 30)), Hex(ToPixel(kBlack)));
  EXPECT_EQ(Hex(At(50, 8)), Hex(ToPixel(kBlack)));
  EXPECT_EQ(Hex(At(50, 12)), Hex(ToPixel(kWhite)));
  cardel_->put_BorderCornerLeftTop(20);
  Changed();
  EXPECT_EQ(At(3, 3), Background(3, 3));
  EXPECT_EQ(Hex(At(10, 10)), Hex(ToPixel(kBlack)));
  EXPECT_EQ(Hex(At(15, 15)), Hex(ToPixel(kWhite)));
}

// A PrePaint handler may move the box through X and Y, or send the drawing to another device context
// through hDC; PostPaint still names the control's own.
TEST_F(PaintTest, PrePaintHandlerMovesOrRedirectsTheDrawing) {
  events_.SetHandler([](DISPID id, DISPPARAMS* params) {
    if (id != event_id::PrePaint) return;
    *V_I4REF(&host::EventArg(*params, 1)) = 10;
    *V_I4REF(&host::EventArg(*params, 2)) = 5;
  });
  box_.Repaint();
  Changed();
  EXPECT_EQ(At(5, 30), Background(5, 30));
  EXPECT_EQ(At(50, 2), Background(50, 2));
  EXPECT_EQ(Hex(At(12, 7)), Hex(ToPixel(kFill)));
  EXPECT_EQ(Hex(At(50, 30)), Hex(ToPixel(kFill)));

  Canvas canvas(kWidth, kHeight);
  events_.SetHandler([&](DISPID id, DISPPARAMS* params) {
    if (id == event_id::PrePaint) *V_I4REF(&host::EventArg(*params, 0)) = Handle(canvas.Dc());
  });
  events_.Clear();
  box_.Repaint();
  Changed();
  std::optional<long> pre, post;
  for (const auto& event : events_.Events()) {
    if (event.id == event_id::PrePaint && !pre) pre = event.args.at(0).ToLong();
    if (event.id == event_id::PostPaint && !post) post = event.args.at(0).ToLong();
  }
  ASSERT_TRUE(pre && post);
  EXPECT_EQ(*post, *pre);
  EXPECT_NE(*post, Handle(canvas.Dc()));
  EXPECT_EQ(Hex(canvas.At(50, 30)), Hex(ToPixel(kFill)));
  EXPECT_EQ(At(50, 30), Background(50, 30));
}

// Several layers, so that each is seen to move with the offset.
TEST_F(PaintTest, DrawWithAnOffsetDrawsTheSameImageShifted) {
  cardel_->put_Gradient(VARIANT_TRUE);
  cardel_->put_BorderPosition(bpOutside);
  cardel_->put_BorderWidth(4);
  cardel_->put_Border(VARIANT_TRUE);
  cardel_->put_ShadowSize(4);
  cardel_->put_ShadowOffsetX(3);
  cardel_->put_ShadowOffsetY(2);
  cardel_->put_ShadowColorOpacity(100);
  cardel_->put_BackShadow(VARIANT_TRUE);
  cardel_->put_BorderCornerLeftTop(12);
  Canvas plain(kWidth + 20, kHeight + 30), shifted(kWidth + 20, kHeight + 30);
  LONG zero = 0, twenty = 20;
  ASSERT_EQ(cardel_->Draw(Handle(plain.Dc()), 0, 0, &zero), S_OK);
  ASSERT_EQ(cardel_->Draw(Handle(shifted.Dc()), 0, 10, &twenty), S_OK);
  EXPECT_EQ(twenty, 20);

  int differing = 0, painted = 0, outside = 0;
  for (int y = 0; y < shifted.Height(); ++y) {
    for (int x = 0; x < shifted.Width(); ++x) {
      if (x < 10 || y < 20) {
        outside += shifted.At(x, y) != kMagenta;
        continue;
      }
      differing += plain.At(x - 10, y - 20) != shifted.At(x, y);
      painted += plain.At(x - 10, y - 20) != kMagenta;
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(outside, 0);
  EXPECT_GT(painted, kWidth * kHeight / 2);
}

TEST_F(PaintTest, DrawOnTheCallersGraphicsLeavesItAliveAntiAliasedAndTranslated) {
  gdip::Session gdiplus;
  Canvas canvas(kWidth + 40, kHeight + 40);
  gdip::UniqueGraphics graphics;
  ASSERT_EQ(GdipCreateFromHDC(canvas.Dc(), graphics.put()), Gdiplus::Ok);
  ASSERT_EQ(GdipTranslateWorldTransform(graphics.get(), 5, 0, Gdiplus::MatrixOrderAppend), Gdiplus::Ok);

  LONG nine = 9;
  ASSERT_EQ(cardel_->Draw(0, Handle(graphics.get()), 7, &nine), S_OK);

  Gdiplus::SmoothingMode smoothing{};
  ASSERT_EQ(GdipGetSmoothingMode(graphics.get(), &smoothing), Gdiplus::Ok);
  EXPECT_EQ(smoothing, Gdiplus::SmoothingModeAntiAlias);
  gdip::UniqueMatrix matrix;
  ASSERT_EQ(GdipCreateMatrix(matrix.put()), Gdiplus::Ok);
  ASSERT_EQ(GdipGetWorldTransform(graphics.get(), matrix.get()), Gdiplus::Ok);
  Gdiplus::REAL m[6] = {};
  ASSERT_EQ(GdipGetMatrixElements(matrix.get(), m), Gdiplus::Ok);
  EXPECT_EQ(m[0], 1);
  EXPECT_EQ(m[3], 1);
  EXPECT_EQ(m[4], 12);
  EXPECT_EQ(m[5], 9);

  ASSERT_EQ(GdipFlush(graphics.get(), Gdiplus::FlushIntentionSync), Gdiplus::Ok);
  EXPECT_EQ(canvas.At(10, 30), kMagenta);
  EXPECT_EQ(Hex(canvas.At(14, 11)), Hex(ToPixel(kFill)));
  EXPECT_EQ(Hex(canvas.At(60, 40)), Hex(ToPixel(kFill)));

  // Still the caller's to use.
  ASSERT_EQ(GdipGraphicsClear(graphics.get(), 0xFF00FF00), Gdiplus::Ok);
  ASSERT_EQ(GdipFlush(graphics.get(), Gdiplus::FlushIntentionSync), Gdiplus::Ok);
  EXPECT_EQ(Hex(canvas.At(60, 40)), Hex(0x00FF00));
}

TEST_F(PaintTest, WithRedrawOffOnlyTheHostsOwnRepaintShowsChanges) {
  const COLORREF second = RGB(10, 120, 30), third = RGB(30, 30, 200);
  ASSERT_EQ(cardel_->put_Redraw(VARIANT_FALSE), S_OK);
  ASSERT_EQ(cardel_->put_FrontColor(second), S_OK);
  ASSERT_EQ(cardel_->Refresh(), S_OK);
  EXPECT_EQ(Paints(), 0u);
  EXPECT_EQ(Hex(At(50, 30)), Hex(ToPixel(kFill)));

  box_.Repaint();
  Changed();
  EXPECT_EQ(Paints(), 1u);
  EXPECT_EQ(Hex(At(50, 30)), Hex(ToPixel(second)));

  events_.Clear();
  ASSERT_EQ(cardel_->put_FrontColor(third), S_OK);
  ASSERT_EQ(cardel_->put_Redraw(VARIANT_TRUE), S_OK);
  EXPECT_EQ(Paints(), 0u);
  ASSERT_EQ(cardel_->Refresh(), S_OK);
  EXPECT_EQ(Paints(), 1u);
  Changed();
  EXPECT_EQ(Hex(At(50, 30)), Hex(ToPixel(third)));
}

TEST_F(PaintTest, ResizingRepaintsAtTheNewSize) {
  ASSERT_HRESULT_SUCCEEDED(control_->Move({kOrigin.x, kOrigin.y, kOrigin.x + 160, kOrigin.y + 90}));
  Changed();
  for (POINT p : {POINT{150, 80}, POINT{120, 30}, POINT{50, 85}})
    EXPECT_EQ(Hex(At(p.x, p.y)), Hex(ToPixel(kFill))) << p.x << ',' << p.y;
  EXPECT_EQ(At(163, 45), Background(163, 45));

  ASSERT_HRESULT_SUCCEEDED(control_->Move({kOrigin.x, kOrigin.y, kOrigin.x + 60, kOrigin.y + 40}));
  Changed();
  EXPECT_EQ(Hex(At(55, 35)), Hex(ToPixel(kFill)));
  for (POINT p : {POINT{62, 20}, POINT{80, 50}, POINT{30, 45}, POINT{150, 80}})
    EXPECT_EQ(At(p.x, p.y), Background(p.x, p.y)) << p.x << ',' << p.y;
}

// BackShadow makes room for the shadow only when it is exactly True.
TEST_F(PaintTest, ShadowRoomNeedsBackShadowExactlyTrue) {
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_ShadowSize(5));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_BackShadow(VARIANT_TRUE));
  Changed();
  EXPECT_NE(Hex(At(1, 30)), Hex(ToPixel(kFill)));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_BackShadow(1));
  Changed();
  EXPECT_EQ(Hex(At(1, 30)), Hex(ToPixel(kFill)));
}

// Where the device context of a paint puts logical (0, 0), in the container's client coordinates.
POINT OriginInContainer(HDC dc, HWND container) {
  POINT origin{0, 0};
  LPtoDP(dc, &origin, 1);
  MapWindowPoints(WindowFromDC(dc), container, &origin, 1);
  return origin;
}

// Windowless or in a window of its own, the control paints with logical (0, 0) at its top-left and gives
// the same pixels; the window goes with the control.
// A paint that cannot be done (a loaded opacity no alpha byte holds) answers each caller in its own terms:
// a container's view call with the view's own code and no automation error object, on every route the
// view draws by, and the Draw method with run-time error 6.
TEST(PaintFailureTest, EachCallerHearsOfAFailedPaintInItsOwnTerms) {
  Library library;
  Container box{library};
  ComPtr<host::PropertyBag> bag = host::PropertyBag::Make();
  bag->Set(L"BackColorOpacity", host::Variant::Short(150));
  ControlOptions options;
  options.load_from = bag.Get();
  HostedControl& control = box.Add(kRect, options);
  ASSERT_HRESULT_SUCCEEDED(control.LoadResult());
  const ComPtr<IViewObject> view = control.Query<IViewObject>();
  ASSERT_TRUE(view);
  Canvas canvas(2 * kWidth, 2 * kHeight);
  const RECTL own{0, 0, kWidth, kHeight}, zoomed{0, 0, 2 * kWidth, 2 * kHeight};
  for (const RECTL& bounds : {own, zoomed}) {
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds, nullptr, nullptr, 0),
              VIEW_E_DRAW)
        << bounds.right;
    ComPtr<IErrorInfo> info;
    EXPECT_EQ(GetErrorInfo(0, &info), S_FALSE);
  }
  LONG y = 0;
  EXPECT_EQ(control.Cardel()->Draw(Handle(canvas.Dc()), 0, 0, &y), static_cast<HRESULT>(0x800A0006));
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR description = nullptr;
  info->GetDescription(&description);
  const oletest::UniqueBstr owned(description);
  EXPECT_STREQ(description, L"Overflow");
}

TEST(PaintActivationTest, BothActivationsPaintAtTheControlsOrigin) {
  Library library;
  std::optional<Image> first;
  for (const bool windowless : {true, false}) {
    SCOPED_TRACE(windowless ? "windowless" : "windowed");
    HWND own_window = nullptr;
    {
      Container box(library);
      HostedControl& control = box.Add(kRect, {.windowless = windowless});
      ASSERT_HRESULT_SUCCEEDED(control.LoadResult());
      EXPECT_TRUE(control.GetSite().InPlaceActive());
      EXPECT_EQ(control.GetSite().Windowless(), windowless);
      own_window = control.OwnWindow();
      EXPECT_EQ(own_window != nullptr, !windowless);
      if (own_window) {
        RECT placed{};
        GetWindowRect(own_window, &placed);
        MapWindowPoints(nullptr, box.Window(), reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_TRUE(EqualRect(&placed, &kRect));
      }
      ComPtr<_ucCardel> cardel = control.Cardel();
      cardel->put_FrontColor(kFill);
      cardel->put_BorderWidth(6);
      cardel->put_BorderColor(kBlack);
      cardel->put_Border(VARIANT_TRUE);
      cardel->put_BackColorOpacity(60);

      EventRecorder events;
      std::optional<POINT> origin;
      ASSERT_HRESULT_SUCCEEDED(events.Connect(control.Unknown()));
      events.SetHandler([&](DISPID id, DISPPARAMS* params) {
        if (id == event_id::PostPaint)
          origin = OriginInContainer(reinterpret_cast<HDC>(V_I4(&host::EventArg(*params, 0))), box.Window());
      });
      box.Repaint();
      if (own_window) {
        InvalidateRect(own_window, nullptr, FALSE);
        UpdateWindow(own_window);
      }
      ASSERT_TRUE(origin);
      EXPECT_EQ(origin->x, kRect.left);
      EXPECT_EQ(origin->y, kRect.top);

      const Image image = box.Capture({kRect.left - 4, kRect.top - 4, kRect.right + 4, kRect.bottom + 4});
      EXPECT_EQ(image.At(1, 1), Container::BackgroundAt(kRect.left - 3, kRect.top - 3));
      if (!first) {
        first = image;
      } else {
        int differing = 0;
        for (size_t i = 0; i < image.pixels.size(); ++i) differing += image.pixels[i] != first->pixels[i];
        EXPECT_EQ(differing, 0) << "windowed and windowless pixels differ";
      }
      events.Disconnect();
      box.Remove(control);
    }
    if (own_window) {
      EXPECT_FALSE(IsWindow(own_window));
    }
    EXPECT_EQ(library.DllCanUnloadNow(), S_OK);
  }
}

}  // namespace
}  // namespace cardel::controltest
