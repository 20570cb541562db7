// The host's paint at the control's own size comes from layers the control keeps: it shows what drawing
// afresh shows, each layer is rebuilt by the changes that shape it and by no other, and what the layers
// hold is bounded and given back when the control leaves the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/gdiplus_session.h"
#include "container.h"
#include "control/property_catalogue.h"
#include "control/retained_budget.h"
#include "control/retained_layers.h"
#include "dib_surface.h"
#include "library.h"
#include "process_memory.h"
#include "test_hooks_door.h"
#include "test_pictures.h"

namespace cardel::controltest {
namespace {

using host::CommittedPrivateBytes;
using host::ComPtr;
using host::Container;
using host::DibSurface;
using host::HostedControl;
using host::Library;
using host::PaintedAfresh;
using host::RetainedBudgetOf;

constexpr int kLayers = static_cast<int>(RetainedLayer::Count);
using Builds = std::array<LONG, kLayers>;

// Stripes of colour beneath the control, so a blend in the wrong order or place shows.
void PaintBackground(DibSurface& surface) {
  for (int y = 0; y < surface.Height(); ++y) {
    const COLORREF colour = RGB(40 + y * 7 % 200, 200 - y * 3 % 150, (y / 9 % 2) * 180);
    const HBRUSH brush = CreateSolidBrush(colour);
    const RECT row{0, y, surface.Width(), y + 1};
    FillRect(surface.Dc(), &row, brush);
    DeleteObject(brush);
  }
}

// Blending the layers into a transparent box and the box onto the background rounds once more than
// blending each layer onto the background. One level apart is that rounding; where three translucent
// layers stack over a translucent fill, the roundings add up to two on under one pixel in a hundred.
struct Difference {
  int worst = 0;
  size_t overOne = 0;
  size_t pixels = 0;
};

Difference Compare(const DibSurface& a, const DibSurface& b) {
  const std::vector<uint32_t> pa = a.All(), pb = b.All();
  Difference d{0, 0, pa.size()};
  for (size_t i = 0; i < pa.size(); ++i) {
    int here = 0;
    for (int shift = 0; shift < 24; shift += 8)
      here = std::max(here, std::abs(int(pa[i] >> shift & 255) - int(pb[i] >> shift & 255)));
    d.worst = std::max(d.worst, here);
    d.overOne += here > 1;
  }
  return d;
}

void ExpectSamePixels(const DibSurface& retained, const DibSurface& fresh, const std::string& what) {
  const Difference d = Compare(retained, fresh);
  EXPECT_LE(d.worst, 2) << what;
  EXPECT_LE(d.overOne * 100, d.pixels) << what << ": " << d.overOne << " pixels two levels off";
}

class RetainedPaintTest : public ::testing::Test {
 public:
  void Place(SIZE size) {
    control_ = &form_.Add({10, 10, 10 + size.cx, 10 + size.cy});
    cardel_ = control_->Cardel();
    size_ = size;
  }
  // IViewObject::Draw onto a fresh copy of the background, as a buffered host paints.
  std::unique_ptr<DibSurface> Paint() {
    auto surface = std::make_unique<DibSurface>(size_.cx, size_.cy);
    PaintBackground(*surface);
    const RECTL bounds{0, 0, size_.cx, size_.cy};
    EXPECT_HRESULT_SUCCEEDED(control_->Query<IViewObject>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr,
                                                                  surface->Dc(), &bounds, nullptr, nullptr, 0));
    return surface;
  }
  // The same paint drawn afresh, the kept layers left for the next paint.
  std::unique_ptr<DibSurface> PaintDirectly() {
    const PaintedAfresh afresh(control_->Unknown());
    return Paint();
  }
  Builds BuildCounts() {
    Builds builds{};
    const ComPtr<ICardelTestHooks> hooks = host::HooksOf(control_->Unknown());
    for (int layer = 0; layer < kLayers; ++layer) EXPECT_HRESULT_SUCCEEDED(hooks->CountLayerBuilds(layer, &builds[layer]));
    return builds;
  }
  Builds BuildsOf(const std::function<void()>& change) {
    const Builds before = BuildCounts();
    change();
    Paint();
    Builds builds = BuildCounts();
    for (int layer = 0; layer < kLayers; ++layer) builds[layer] -= before[layer];
    return builds;
  }
  void LoadPicture(bool shadow) {
    const std::vector<uint8_t> png = testpictures::EncodeBitmap(
        48, 32, [](int x, int y) { return 0xFF000000u | (x * 5) << 16 | (y * 7) << 8 | ((x + y) % 2) * 255; },
        L"image/png");
    SAFEARRAYBOUND bound{static_cast<ULONG>(png.size()), 0};
    SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
    std::copy(png.begin(), png.end(), static_cast<uint8_t*>(array->pvData));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    cardel_->PictureFromStream(&array, &loaded);
    SafeArrayDestroy(array);
    ASSERT_EQ(loaded, VARIANT_TRUE);
    cardel_->put_PictureOpacity(70);
    cardel_->put_PictureColorize(VARIANT_TRUE);
    cardel_->put_PictureColor(RGB(30, 90, 200));
    cardel_->put_PictureShadow(shadow ? VARIANT_TRUE : VARIANT_FALSE);
  }

  gdip::Session gdiplus_;
  Library library_;
  Container form_{library_, {1100, 700}};
  HostedControl* control_ = nullptr;
  ComPtr<_ucCardel> cardel_;
  SIZE size_{};
};

struct Configuration {
  const char* name;
  std::function<void(RetainedPaintTest&, _ucCardel*)> add;
};

// Each adds to the ones before it, but acrylic, which starts from the plain box.
const Configuration kConfigurations[] = {
    {"plain", [](RetainedPaintTest&, _ucCardel* c) { c->put_FrontColor(RGB(230, 220, 200)); }},
    {"gradient, corners, tail, border",
     [](RetainedPaintTest&, _ucCardel* c) {
       c->put_Gradient(VARIANT_TRUE);
       c->put_GradientAngle(30);
       c->put_GradientColor2Opacity(60);
       for (auto put : {&_ucCardel::put_BorderCornerLeftTop, &_ucCardel::put_BorderCornerBottomRight})
         (c->*put)(12);
       c->put_CallOut(VARIANT_TRUE);
       c->put_CallOutLen(12);
       c->put_Border(VARIANT_TRUE);
       c->put_BorderWidth(2);
       c->put_BorderColorOpacity(80);
     }},
    {"box shadow",
     [](RetainedPaintTest&, _ucCardel* c) {
       c->put_BackShadow(VARIANT_TRUE);
       c->put_ShadowSize(8);
       c->put_ShadowOffsetX(3);
       c->put_ShadowOffsetY(3);
       c->put_ShadowColorOpacity(60);
     }},
    {"caption with shadow",
     [](RetainedPaintTest&, _ucCardel* c) {
       host::SetCaption(c, L"Retained layers");
       c->put_CaptionShadow(VARIANT_TRUE);
     }},
    {"picture with effects", [](RetainedPaintTest& test, _ucCardel*) { test.LoadPicture(true); }},
    {"hot line",
     [](RetainedPaintTest&, _ucCardel* c) {
       c->put_HotLine(VARIANT_TRUE);
       c->put_HotLineWidth(4);
       c->put_HotLineColorOpacity(70);
     }},
};

TEST_F(RetainedPaintTest, EveryConfigurationLooksAsDrawnAfreshColdAndWarm) {
  for (const SIZE size : {SIZE{120, 40}, SIZE{300, 100}}) {
    Place(size);
    for (const Configuration& configuration : kConfigurations) {
      configuration.add(*this, cardel_.Get());
      const auto fresh = PaintDirectly();
      const std::string what = std::string(configuration.name) + " at " + std::to_string(size.cx);
      ExpectSamePixels(*Paint(), *fresh, what + ", cold");
      ExpectSamePixels(*Paint(), *fresh, what + ", warm");
    }
  }
}

TEST_F(RetainedPaintTest, AcrylicBlursEachPaintsBackgroundBetweenTheKeptLayers) {
  Place({300, 100});
  for (const Configuration& configuration : {kConfigurations[0], kConfigurations[2], kConfigurations[3]})
    configuration.add(*this, cardel_.Get());
  cardel_->put_BackColorOpacity(40);
  cardel_->put_BackAcrylicBlur(VARIANT_TRUE);
  // The blurred copy is composed in one exact pass, so only the box's own rounding remains.
  for (int paint = 0; paint < 2; ++paint) EXPECT_LE(Compare(*Paint(), *PaintDirectly()).worst, 1) << "paint " << paint;
}

TEST_F(RetainedPaintTest, EachLayerIsRebuiltByWhatShapesItAndNothingElse) {
  Place({200, 80});
  for (const Configuration& configuration : kConfigurations) configuration.add(*this, cardel_.Get());
  cardel_->put_PictureShadow(VARIANT_FALSE);
  // The setters' own repaints would build too: only the test's paints count.
  cardel_->put_Redraw(VARIANT_FALSE);
  Paint();
  ComPtr<IFont> font;
  {
    ComPtr<IFontDisp> disp;
    ASSERT_HRESULT_SUCCEEDED(cardel_->get_Font(&disp));
    ASSERT_HRESULT_SUCCEEDED(disp.As(&font));
  }
  const struct {
    const char* change;
    std::function<void()> make;
    Builds builds;  // box, stretched shadow, picture layer, caption outlines
  } cases[] = {
      {"nothing", [] {}, {0, 0, 0}},
      {"GradientColor1", [&] { cardel_->put_GradientColor1(RGB(1, 2, 3)); }, {1, 0, 0}},
      {"Caption", [&] { host::SetCaption(cardel_.Get(), L"Another"); }, {1, 0, 0, 1}},
      {"Font.Size on the font object", [&] { font->put_Size(CY{120000}); }, {1, 0, 0, 1}},
      {"ShadowColor", [&] { cardel_->put_ShadowColor(RGB(0, 0, 90)); }, {1, 1, 0}},
      // The offset moves the shadow's room, and with it the box the picture and the caption are laid out in.
      {"ShadowOffsetX", [&] { cardel_->put_ShadowOffsetX(5); }, {1, 1, 1, 1}},
      {"PictureOpacity", [&] { cardel_->put_PictureOpacity(50); }, {1, 0, 1}},
      {"BorderCornerLeftTop", [&] { cardel_->put_BorderCornerLeftTop(4); }, {1, 1, 1}},
      {"PictureShadow", [&] { cardel_->put_PictureShadow(VARIANT_TRUE); }, {1, 0, 1}},
      {"ShadowOffsetY while the picture casts a shadow", [&] { cardel_->put_ShadowOffsetY(5); }, {1, 1, 1, 1}},
      {"Enabled, MousePointer, MouseToParent",
       [&] {
         cardel_->put_Enabled(VARIANT_FALSE);
         cardel_->put_MousePointer(static_cast<eMousePointer>(2));
         cardel_->put_MouseToParent(VARIANT_TRUE);
       },
       {0, 0, 0}},
      {"three changes with Redraw False",
       [&] {
         cardel_->put_GradientColor2(RGB(9, 9, 9));
         cardel_->put_HotLineColor(RGB(200, 0, 0));
         cardel_->put_ForeColor(RGB(0, 80, 0));
       },
       {1, 0, 0}},
      {"resize", [&] { ASSERT_HRESULT_SUCCEEDED(control_->Move({10, 10, 230, 100})); size_ = {220, 90}; },
       {1, 1, 1, 1}},
  };
  for (const auto& c : cases) EXPECT_EQ(BuildsOf(c.make), c.builds) << c.change;
  ExpectSamePixels(*Paint(), *PaintDirectly(), "after the changes");
}

// A value that changes what is drawn, whichever kind of property it is.
int32_t ChangedValue(const PropertyInfo& info, const VARIANT& current) {
  if (V_VT(&current) == VT_BOOL) return V_BOOL(&current) ? VARIANT_FALSE : VARIANT_TRUE;
  const int32_t v = V_VT(&current) == VT_I2 ? V_I2(&current) : V_I4(&current);
  const std::wstring_view name(info.name);
  if (name.ends_with(L"Color")) return v ^ 0x00804020;
  if (info.min && info.max) {
    const int32_t third = (*info.max - *info.min) / 3;
    return v - *info.min > third ? v - third : v + third;
  }
  return v + 1;
}

// The rows say which changes drop the composed box: a row that forgot would leave the next paint stale.
TEST_F(RetainedPaintTest, EveryPropertyChangeReachesTheNextPaint) {
  Place({200, 80});
  for (const Configuration& configuration : kConfigurations) configuration.add(*this, cardel_.Get());
  cardel_->put_Redraw(VARIANT_FALSE);
  ComPtr<IDispatch> dispatch;
  ASSERT_HRESULT_SUCCEEDED(cardel_.As(&dispatch));
  for (const PropertyInfo& info : PropertyCatalogue()) {
    // Redraw keeps the test's paints its own; AutoSize would change the size the test paints at.
    if (info.prop == Prop::Redraw || info.prop == Prop::AutoSize) continue;
    Paint();
    VARIANT value;
    VariantInit(&value);
    DISPPARAMS none{};
    ASSERT_HRESULT_SUCCEEDED(dispatch->Invoke(info.dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                                              nullptr));
    VARIANT changed;
    V_VT(&changed) = VT_I4;
    V_I4(&changed) = ChangedValue(info, value);
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS one{&changed, &put, 1, 1};
    ASSERT_HRESULT_SUCCEEDED(dispatch->Invoke(info.dispid, IID_NULL, 0, DISPATCH_PROPERTYPUT, &one, nullptr, nullptr,
                                              nullptr));
    const auto fresh = PaintDirectly();
    ExpectSamePixels(*Paint(), *fresh, testing::PrintToString(info.name));
  }
}

// Switching the box shadow off gives the box the shadow's room; a picture laid out for the smaller box
// would stay where it was, drawn afresh or retained, until a picture setter happened to rebuild it.
TEST_F(RetainedPaintTest, PictureFollowsTheBoxWhenTheShadowsRoomChanges) {
  Place({200, 80});
  for (const Configuration& configuration : kConfigurations) configuration.add(*this, cardel_.Get());
  cardel_->put_Redraw(VARIANT_FALSE);
  PaintDirectly();
  Paint();
  cardel_->put_BackShadow(VARIANT_FALSE);
  const auto direct = PaintDirectly();
  const auto retained = Paint();
  cardel_->put_PictureOpacity(70);  // the same value: only drops what the picture built
  EXPECT_EQ(Compare(*direct, *PaintDirectly()).worst, 0);
  EXPECT_EQ(Compare(*retained, *Paint()).worst, 0);
}

// A host that writes Font.Size on the font object it was given changes nothing through a setter; the
// caption and its shadow must follow all the same, as on a control that had the size from the start.
TEST_F(RetainedPaintTest, FontWrittenThroughItsObjectReachesCaptionAndShadow) {
  Place({200, 80});
  for (const Configuration& configuration : {kConfigurations[0], kConfigurations[2], kConfigurations[3]})
    configuration.add(*this, cardel_.Get());
  Paint();
  ComPtr<IFontDisp> disp;
  ComPtr<IFont> font;
  ASSERT_HRESULT_SUCCEEDED(cardel_->get_Font(&disp));
  ASSERT_HRESULT_SUCCEEDED(disp.As(&font));
  ASSERT_HRESULT_SUCCEEDED(font->put_Size(CY{140000}));
  const auto afterWrite = Paint();

  Place({200, 80});
  ASSERT_HRESULT_SUCCEEDED(cardel_->get_Font(&disp));
  ASSERT_HRESULT_SUCCEEDED(disp.As(&font));
  ASSERT_HRESULT_SUCCEEDED(font->put_Size(CY{140000}));
  for (const Configuration& configuration : {kConfigurations[0], kConfigurations[2], kConfigurations[3]})
    configuration.add(*this, cardel_.Get());
  EXPECT_EQ(Compare(*afterWrite, *Paint()).worst, 0);
}

// Memory the layers hold, seen from outside: surfaces this large are committed pages of their own.
TEST_F(RetainedPaintTest, LayersStayWithinTheBudgetAndGoWhenTheControlLeavesTheScreen) {
  constexpr SIZE kLarge{1000, 600};
  const long long surface = 1000LL * 600 * 4;
  Place(kLarge);
  for (const Configuration& configuration : kConfigurations) configuration.add(*this, cardel_.Get());
  cardel_->put_Redraw(VARIANT_FALSE);
  const auto target = std::make_unique<DibSurface>(kLarge.cx, kLarge.cy);
  const RECTL bounds{0, 0, kLarge.cx, kLarge.cy};
  const auto draw = [&] {
    ASSERT_HRESULT_SUCCEEDED(control_->Query<IViewObject>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr,
                                                                  target->Dc(), &bounds, nullptr, nullptr, 0));
  };
  draw();
  const long long kept = CommittedPrivateBytes();
  ASSERT_HRESULT_SUCCEEDED(control_->Query<IOleObject>()->DoVerb(OLEIVERB_HIDE, nullptr, nullptr, 0, nullptr, nullptr));
  const long long released = CommittedPrivateBytes();
  EXPECT_GE(kept - released, 3 * surface * 9 / 10) << "box, stretched shadow and picture layer, released when hidden";
  EXPECT_LE(kept - released, RetainedPixels(kLarge, false) * 4 + surface / 2);

  draw();
  EXPECT_GE(CommittedPrivateBytes() - released, 3 * surface * 9 / 10);
  ASSERT_HRESULT_SUCCEEDED(control_->Query<IOleInPlaceObject>()->InPlaceDeactivate());
  EXPECT_LT(CommittedPrivateBytes() - released, surface / 2) << "released when deactivated";

  // Under a budget smaller than its layers, the control draws afresh and keeps nothing.
  const RetainedBudgetOf small(control_->Unknown(), RetainedPixels(kLarge, false) * 4 - 1);
  EXPECT_EQ(BuildsOf(draw), (Builds{0, 0, 0}));
  EXPECT_LT(CommittedPrivateBytes() - released, surface / 2);
}

// Wine numbers a reused handle's generation in its high bits: wears the entries the next paint's bitmap
// and context take until their handles have bit 31 set, as many of a long-running host's have.
void WearHandlesToBit31() {
  std::array<HDC, 8> dcs{};
  for (int round = 0; round < 1000; ++round) {
    for (HDC& dc : dcs) dc = CreateCompatibleDC(nullptr);
    const bool worn = std::all_of(dcs.begin(), dcs.end(), [](HDC dc) {
      return (reinterpret_cast<uintptr_t>(dc) & 0x80000000u) != 0;
    });
    for (HDC dc : dcs) DeleteDC(dc);
    if (worn) return;
  }
}

// A paint through the plumbing's bitmap (here for a context in another mapping mode) draws into the
// bitmap's pixels and keeps no layer. The paint takes the bitmap's context back from the PrePaint event's
// Long: under 64-bit Wine many such handles have bit 31 set, come back sign-extended, and are the same
// context all the same.
TEST_F(RetainedPaintTest, PaintsThroughTheBitmapKnowItWhateverItsHandle) {
  Place({120, 40});
  const DibSurface target(120, 40);
  SetMapMode(target.Dc(), MM_ANISOTROPIC);  // still one unit a pixel
  SetWindowExtEx(target.Dc(), 1, 1, nullptr);
  SetViewportExtEx(target.Dc(), 1, 1, nullptr);
  const RECTL bounds{0, 0, 120, 40};
  // Each paint follows a change, so a paint that took the kept layers' route would build them.
  cardel_->put_Redraw(VARIANT_FALSE);
  const Builds before = BuildCounts();
  for (int paint = 0; paint < 4; ++paint) {
    cardel_->put_FrontColor(RGB(200, 100 + paint, 50));
    WearHandlesToBit31();
    ASSERT_HRESULT_SUCCEEDED(control_->Query<IViewObject>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr,
                                                                  target.Dc(), &bounds, nullptr, nullptr, 0));
  }
  EXPECT_EQ(BuildCounts(), before);
}

// The committed memory of the whole process, whoever committed it.
long long CommittedBytes() {
  long long total = 0;
  MEMORY_BASIC_INFORMATION info{};
  for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;
       at = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT) total += static_cast<long long>(info.RegionSize);
  }
  return total;
}

// Many large controls in one host share one budget: a 32-bit host is not filled, and the most recently
// painted still repaint with one blend. Removed controls give their room back.
TEST_F(RetainedPaintTest, ManyLargeControlsShareTheProcesssBudget) {
  constexpr SIZE kFullHd{1920, 1080};
  constexpr int kControls = 20;
  const auto target = std::make_unique<DibSurface>(kFullHd.cx, kFullHd.cy);
  const RECTL bounds{0, 0, kFullHd.cx, kFullHd.cy};
  std::vector<HostedControl*> controls;
  const auto draw = [&](HostedControl& control) {
    ASSERT_HRESULT_SUCCEEDED(control.Query<IViewObject>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr,
                                                                target->Dc(), &bounds, nullptr, nullptr, 0));
  };
  const auto boxBuilds = [](HostedControl& control) {
    LONG builds = -1;
    host::HooksOf(control.Unknown())->CountLayerBuilds(static_cast<LONG>(RetainedLayer::Box), &builds);
    return builds;
  };
  for (int i = 0; i < kControls; ++i) {
    HostedControl& control = form_.Add({0, 0, kFullHd.cx, kFullHd.cy});
    const ComPtr<_ucCardel> cardel = control.Cardel();
    cardel->put_Redraw(VARIANT_FALSE);
    kConfigurations[0].add(*this, cardel.Get());
    draw(control);
    controls.push_back(&control);
  }
  const long long committed = CommittedBytes();
  EXPECT_LT(committed, 500LL * 1024 * 1024) << committed / (1024 * 1024) << " MB committed";
  const auto kept = [](HostedControl& control) {
    LONGLONG bytes = -1;
    host::HooksOf(control.Unknown())->RetainedBytes(&bytes);
    return bytes;
  };
  const LONGLONG keptByAll = kept(*controls.back());
  EXPECT_LE(keptByAll, kProcessRetainedBytes);
  EXPECT_GE(keptByAll, RetainedPixels(kFullHd, false) * 4) << "the last painted keeps its layers";

  // The three painted last repaint from what they keep; the first painted gave its layers up where the
  // budget does not hold them all (the 32-bit build).
  for (int i = kControls - 3; i < kControls; ++i) {
    const LONG built = boxBuilds(*controls[i]);
    draw(*controls[i]);
    EXPECT_EQ(boxBuilds(*controls[i]), built) << "control " << i;
  }
  const LONG built = boxBuilds(*controls.front());
  draw(*controls.front());
  const bool allFit = kControls * RetainedPixels(kFullHd, false) * 4 <= kProcessRetainedBytes;
  EXPECT_EQ(boxBuilds(*controls.front()), built + (allFit ? 0 : 1));

  controls.clear();
  form_.RemoveAll();
  Place({120, 40});
  EXPECT_LE(kept(*control_), RetainedPixels({120, 40}, false) * 4) << "controls that left gave their room back";
}

// A control the budget passes over gives up the blurred shadows its layers are built from too, and
// builds them again as they were when it is painted. At a sixth of full HD's sides, with a thirty-sixth of
// the 32-bit budget, twenty such controls fit in a thirty-sixth of what twenty full-HD ones may commit.
TEST_F(RetainedPaintTest, ControlsPassedOverGiveUpTheirShadowsAndBuildThemAgain) {
  constexpr SIZE kSixth{320, 180};
  constexpr int kControls = 20;
  Place({120, 40});
  const RetainedBudgetOf budget(control_->Unknown(), 192LL * 1024 * 1024 / 36);
  const RECTL bounds{0, 0, kSixth.cx, kSixth.cy};
  const auto draw = [&](HostedControl& control, const DibSurface& target) {
    ASSERT_HRESULT_SUCCEEDED(control.Query<IViewObject>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr,
                                                                target.Dc(), &bounds, nullptr, nullptr, 0));
  };
  const DibSurface target(kSixth.cx, kSixth.cy);
  const long long before = CommittedBytes();
  std::vector<HostedControl*> controls;
  for (int i = 0; i < kControls; ++i) {
    HostedControl& control = form_.Add({0, 0, kSixth.cx, kSixth.cy});
    const ComPtr<_ucCardel> cardel = control.Cardel();
    cardel->put_Redraw(VARIANT_FALSE);
    for (const Configuration& configuration : kConfigurations) {
      if (std::string_view(configuration.name) != "picture with effects") configuration.add(*this, cardel.Get());
    }
    draw(control, target);
    controls.push_back(&control);
  }
  const long long grown = CommittedBytes() - before;
  EXPECT_LT(grown, 500LL * 1024 * 1024 / 36) << grown / 1024 << " kB committed by the controls";

  const DibSurface kept(kSixth.cx, kSixth.cy), restored(kSixth.cx, kSixth.cy);
  draw(*controls.back(), kept);
  draw(*controls.front(), restored);
  EXPECT_EQ(Compare(restored, kept).worst, 0) << "shadows given up come back as they were";
  controls.clear();
  form_.RemoveAll();
}

}  // namespace
}  // namespace cardel::controltest
