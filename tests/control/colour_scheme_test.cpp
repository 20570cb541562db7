// A system colour (&H800000nn) in the shadow or the picture tint follows the user's colour scheme: after
// the scheme changes, the next paint shows the new colour, on the host's 1:1 paint from kept layers and
// on a scaled drawing alike. The scheme is changed for real (SetSysColors), for every program on the
// display: CTest runs this program alone, and each change is undone however a test ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "common/gdiplus_session.h"
#include "common/system_colours.h"
#include "container.h"
#include "dib_surface.h"
#include "library.h"
#include "test_pictures.h"

namespace cardel::controltest {
namespace {

using host::ComPtr;
using host::Container;
using host::DibSurface;
using host::HostedControl;
using host::Library;

constexpr SIZE kSize{300, 100};
constexpr int kSchemeIndex = COLOR_HIGHLIGHT;
constexpr OLE_COLOR kSchemeColour = SystemColour(kSchemeIndex);
constexpr COLORREF kFront = RGB(230, 225, 210);
// One level off: a change that drops the composed box and leaves every image it was made from.
constexpr COLORREF kFrontChanged = RGB(230, 225, 211);

// One system colour set to another value for the scheme, and put back when this goes.
class SchemeChange {
 public:
  SchemeChange(int index, COLORREF colour) : index_(index), old_(GetSysColor(index)) {
    SetSysColors(1, &index_, &colour);
  }
  SchemeChange(const SchemeChange&) = delete;
  SchemeChange& operator=(const SchemeChange&) = delete;
  ~SchemeChange() { SetSysColors(1, &index_, &old_); }

 private:
  const int index_;
  const COLORREF old_;
};

// Far from any scheme's highlight, and from the box's own colours.
COLORREF Opposite(COLORREF colour) { return RGB(255 - GetRValue(colour), 255 - GetGValue(colour), 80); }

struct Difference {
  int worst = 0;
  size_t pixels = 0;  // more than two levels apart in any channel
};

Difference Compare(const DibSurface& a, const DibSurface& b) {
  const std::vector<uint32_t> pa = a.All(), pb = b.All();
  Difference d;
  for (size_t i = 0; i < pa.size(); ++i) {
    int here = 0;
    for (int shift = 0; shift < 24; shift += 8)
      here = std::max(here, std::abs(int(pa[i] >> shift & 255) - int(pb[i] >> shift & 255)));
    d.worst = std::max(d.worst, here);
    d.pixels += here > 2;
  }
  return d;
}

enum class Route { Kept, Direct };

struct Reproduction {
  const char* name;
  std::function<void(_ucCardel*)> configure;
};

const Reproduction kReproductions[] = {
    {"box shadow",
     [](_ucCardel* c) {
       c->put_BackShadow(VARIANT_TRUE);
       c->put_ShadowSize(8);
       c->put_ShadowOffsetX(4);
       c->put_ShadowOffsetY(4);
       c->put_ShadowColor(kSchemeColour);
       c->put_ShadowColorOpacity(100);
     }},
    {"caption shadow",
     [](_ucCardel* c) {
       host::SetCaption(c, L"Scheme");
       c->put_CaptionShadow(VARIANT_TRUE);
       c->put_ShadowSize(3);
       c->put_ShadowColor(kSchemeColour);
       c->put_ShadowColorOpacity(100);
     }},
    {"picture tint",
     [](_ucCardel* c) {
       const std::vector<uint8_t> png = testpictures::EncodeBitmap(
           200, 80, [](int x, int y) { return 0xFF000000u | (x % 256) << 16 | (y * 3 % 256) << 8 | 0x80; },
           L"image/png");
       SAFEARRAYBOUND bound{static_cast<ULONG>(png.size()), 0};
       SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
       std::copy(png.begin(), png.end(), static_cast<uint8_t*>(array->pvData));
       VARIANT_BOOL loaded = VARIANT_FALSE;
       c->PictureFromStream(&array, &loaded);
       SafeArrayDestroy(array);
       c->put_PictureColorize(VARIANT_TRUE);
       c->put_PictureColor(kSchemeColour);
     }},
};

class ColourSchemeTest : public ::testing::Test {
 protected:
  HostedControl& Make(const Reproduction& reproduction) {
    HostedControl& control = form_.Add({10, 10, 10 + kSize.cx, 10 + kSize.cy});
    const ComPtr<_ucCardel> cardel = control.Cardel();
    host::SetCaption(cardel.Get(), L"");
    cardel->put_FrontColor(kFront);
    reproduction.configure(cardel.Get());
    return control;
  }
  // The host's paint at the control's size (through IViewObject::Draw, as the container paints), or a
  // drawing at twice that size.
  static std::unique_ptr<DibSurface> Paint(HostedControl& control, Route route) {
    const int scale = route == Route::Kept ? 1 : 2;
    auto surface = std::make_unique<DibSurface>(kSize.cx * scale, kSize.cy * scale, 0x406080);
    const RECTL bounds{0, 0, kSize.cx * scale, kSize.cy * scale};
    EXPECT_HRESULT_SUCCEEDED(control.Query<IViewObject>()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr,
                                                                 surface->Dc(), &bounds, nullptr, nullptr, 0));
    return surface;
  }

  gdip::Session gdiplus_;
  Library library_;
  Container form_{library_, {800, 400}};
};

// A control painted before the change, then painted again, shows what a control made after it shows;
// with the old colours back, it shows what it showed at first. On the host's paint, the composed box may
// be kept or have just been dropped by a change of another colour, leaving the images it was made from; a hidden control, which the host does not paint, is drawn scaled only.
TEST_F(ColourSchemeTest, WhatIsDrawnInASystemColourFollowsTheScheme) {
  enum class Case { BoxKept, BoxDropped, Hidden };
  for (const Reproduction& reproduction : kReproductions) {
    for (const Case paintCase : {Case::BoxKept, Case::BoxDropped, Case::Hidden}) {
      const Route route = paintCase == Case::Hidden ? Route::Direct : Route::Kept;
      const std::string what = std::string(reproduction.name) +
                               (paintCase == Case::BoxKept      ? ", box kept"
                                : paintCase == Case::BoxDropped ? ", box dropped"
                                                                : ", hidden and drawn scaled");
      HostedControl& control = Make(reproduction);
      if (paintCase == Case::Hidden) {
        ASSERT_HRESULT_SUCCEEDED(
            control.Query<IOleObject>()->DoVerb(OLEIVERB_HIDE, nullptr, nullptr, 0, nullptr, nullptr));
      }
      const auto before = Paint(control, route);
      std::unique_ptr<DibSurface> after, fresh;
      {
        const SchemeChange change(kSchemeIndex, Opposite(GetSysColor(kSchemeIndex)));
        if (paintCase == Case::BoxDropped) control.Cardel()->put_FrontColor(kFrontChanged);
        after = Paint(control, route);
        HostedControl& made = Make(reproduction);
        if (paintCase == Case::BoxDropped) made.Cardel()->put_FrontColor(kFrontChanged);
        fresh = Paint(made, route);
        form_.Remove(made);
      }
      form_.PumpMessages();
      EXPECT_GT(Compare(*before, *fresh).pixels, 50u) << what << ": the scheme shows";
      const Difference changed = Compare(*after, *fresh);
      EXPECT_LE(changed.worst, 2) << what << ": " << changed.pixels << " pixels differ";
      const Difference restored = Compare(*Paint(control, route), *before);
      EXPECT_LE(restored.worst, 2) << what << " restored: " << restored.pixels << " pixels differ";
      form_.Remove(control);
    }
  }
}

}  // namespace
}  // namespace cardel::controltest
