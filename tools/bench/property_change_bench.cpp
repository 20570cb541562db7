// What a change costs the user: the setter, with Redraw False so that it does not repaint, then the
// one repaint through IViewObject::Draw that has to rebuild what the change shapes. Each property
// switches between two values, so every run changes something.
#include "property_change_bench.h"

#include <cstdio>

#include "backdrop.h"
#include "dib_surface.h"
#include "pixel_compare.h"
#include "repaint_configs.h"
#include "stage.h"
#include "timing.h"

namespace cardel::bench {
namespace {

constexpr SIZE kSizes[] = {{300, 100}, {1000, 600}};
// The difference of two medians is noisier than either: a few more rounds than the repaint table's.
constexpr RoundBudget kBudget{0.6, 5, 41};

struct Change {
  const char* property;
  void (*put)(_ucCardel& cardel, bool second);
};

constexpr Change kChanges[] = {
    {"ShadowSize", [](_ucCardel& c, bool second) { c.put_ShadowSize(second ? 10 : 8); }},
    {"Caption",
     [](_ucCardel& c, bool second) { host::SetCaption(&c, second ? L"Cardel Velmar" : L"Velmar Cardel"); }},
    {"PictureOpacity", [](_ucCardel& c, bool second) { c.put_PictureOpacity(second ? 60 : 80); }},
    {"HotLine", [](_ucCardel& c, bool second) { c.put_HotLine(second ? VARIANT_FALSE : VARIANT_TRUE); }},
    {"GradientColor1", [](_ucCardel& c, bool second) { c.put_GradientColor1(second ? 0x00339966 : 0x00CC6633); }},
};

}  // namespace

bool RunPropertyChangeBench(const host::Library& library) {
  std::printf(
      "\nproperty change (Redraw False) and one repaint through IViewObject::Draw, every layer but the "
      "acrylic (median ms)\n");
  std::printf("%-9s %-16s %4s %14s %11s %11s %5s %6s\n", "size", "property", "runs", "change+paint", "warm paint",
              "difference", "max", "%diff");
  bool agree = true;
  for (const SIZE size : kSizes) {
    const Backdrop backdrop(size.cx, size.cy);
    Stage stage(library, size);
    _ucCardel& cardel = stage.Cardel();
    const RedrawOff quiet(cardel);
    if (!ApplyAllOpaqueLayers(cardel, size)) {
      std::printf("the control refused part of the set-up at %ldx%ld\n", size.cx, size.cy);
      agree = false;
    }
    const host::DibSurface changed(size.cx, size.cy), warm(size.cx, size.cy);
    for (const Change& change : kChanges) {
      bool second = false;
      HRESULT painted = S_OK;
      const auto paint = [&](const host::DibSurface& target) {
        const HRESULT hr = stage.PaintThroughView(target.Dc());
        if (FAILED(hr)) painted = hr;
      };
      const Side changeThenPaint{[&] {
                                   change.put(cardel, second = !second);
                                   paint(changed);
                                 },
                                 [&] { backdrop.CopyTo(changed); }};
      const Side warmPaint{[&] { paint(warm); }, [&] { backdrop.CopyTo(warm); }};
      const Timings t = Interleaved({changeThenPaint, warmPaint}, kBudget);
      const PixelDifference difference = stage.DirectAgainst(warm.All(), backdrop);
      const bool fine = difference.Acceptable() && SUCCEEDED(painted);
      agree = agree && fine;
      char sizeText[16];
      std::snprintf(sizeText, sizeof sizeText, "%ldx%ld", size.cx, size.cy);
      std::printf("%-9s %-16s %4d %14.3f %11.3f %11.3f %5d %6.2f%s\n", sizeText, change.property, t.rounds,
                  t.medians[0] * 1e3, t.medians[1] * 1e3, (t.medians[0] - t.medians[1]) * 1e3, difference.maxChannel,
                  difference.percent,
                  !SUCCEEDED(painted) ? "  PAINT FAILED"
                  : fine              ? ""
                                      : "  PIXELS DIFFER");
      // Back to the first value, so that the next property starts from the same picture.
      if (second) change.put(cardel, false);
    }
  }
  return agree;
}

}  // namespace cardel::bench
