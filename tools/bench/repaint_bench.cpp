// A warm repaint is what a user waits for when a form redraws: once every layer is built, it should
// cost not much more than putting the area on screen at all. A control that lets what lies beneath
// show through is put there by one blend of the area (with the acrylic, one blend and one blur of it,
// since that layer changes with what lies beneath); the plain copy is shown beside it.
#include "repaint_bench.h"

#include <cstdio>

#include "backdrop.h"
#include "dib_surface.h"
#include "floors.h"
#include "pixel_compare.h"
#include "repaint_configs.h"
#include "stage.h"
#include "timing.h"

namespace cardel::bench {
namespace {

constexpr SIZE kSizes[] = {{100, 30}, {300, 100}, {1000, 600}, {1920, 1080}};
constexpr double kTarget = 2.0;
// Six passes, each rounding its means within a level, may leave the floor's blur a few levels from
// the exact one; more would mean it is not blurring what it should.
constexpr int kFloorBlurTolerance = 3;

struct Tally {
  int rows = 0, withinTarget = 0, pixelFaults = 0;
};

void Header() {
  std::printf(
      "\nwarm repaint through IViewObject::Draw against its floor (median ms; first: the paint just after "
      "the change)\n");
  std::printf("%-9s %-32s %4s %9s %9s %8s %8s %8s %7s %6s %5s %6s  %s\n", "size", "configuration", "runs", "first",
              "paint", "blit", "blend", "blur", "ratio", "%drawn", "max", "%diff", "verdict");
}

void TimeStep(Stage& stage, const RepaintStep& step, bool applied, const Backdrop& backdrop, Floors& floors,
              Tally& tally) {
  const SIZE size = stage.Size();
  const host::DibSurface target(size.cx, size.cy);
  HRESULT painted = S_OK;
  std::vector<Side> sides = {
      {[&] { painted = FAILED(painted) ? painted : stage.PaintThroughView(target.Dc()); },
       [&] { backdrop.CopyTo(target); }},
      {[&] { floors.Blit(); }, {}},
      {[&] { floors.Blend(); }, {}},
  };
  if (step.blursBackground) sides.push_back({[&] { floors.Blur(); }, {}});
  const Timings t = Interleaved(sides);
  const std::vector<uint32_t> viewed = target.All();
  const PixelDifference difference = stage.DirectAgainst(viewed, backdrop);
  // Two paints that both left the background alone would agree too.
  const double drawn = Compare(viewed, backdrop.Surface().All()).percent;

  const double blur = step.blursBackground ? t.medians[3] : 0;
  const double ratio = t.medians[0] / (t.medians[2] + blur);
  const bool pixelsAgree = difference.Acceptable() && SUCCEEDED(painted) && drawn > 0 && applied;
  const bool within = ratio <= kTarget;
  ++tally.rows;
  tally.withinTarget += within;
  tally.pixelFaults += !pixelsAgree;
  char sizeText[16], blurText[16];
  std::snprintf(sizeText, sizeof sizeText, "%ldx%ld", size.cx, size.cy);
  std::snprintf(blurText, sizeof blurText, step.blursBackground ? "%.3f" : "-", blur * 1e3);
  std::printf("%-9s %-32s %4d %9.2f %9.3f %8.3f %8.3f %8s %6.1fx %6.1f %5d %6.2f  %s%s\n", sizeText, step.name,
              t.rounds, t.first * 1e3, t.medians[0] * 1e3, t.medians[1] * 1e3, t.medians[2] * 1e3, blurText, ratio,
              drawn, difference.maxChannel, difference.percent, within ? "within 2x" : "over 2x",
              !applied              ? ", SET-UP REFUSED"
              : !SUCCEEDED(painted) ? ", PAINT FAILED"
              : drawn == 0          ? ", PAINTED NOTHING"
              : pixelsAgree         ? ""
                                    : ", PIXELS DIFFER");
}

}  // namespace

bool RunRepaintBench(const host::Library& library) {
  Header();
  Tally tally;
  for (const SIZE size : kSizes) {
    const Backdrop backdrop(size.cx, size.cy);
    Floors floors(backdrop);
    Stage stage(library, size);
    bool placed = true;
    for (const RepaintStep& step : RepaintSteps()) {
      if (step.fresh && !placed) stage.Renew();
      placed = false;
      bool applied;
      {
        const RedrawOff quiet(stage.Cardel());
        applied = step.apply(stage.Cardel(), size);
      }
      TimeStep(stage, step, applied, backdrop, floors, tally);
    }
  }
  // A floor that did less than blur would flatter the acrylic: its blur is checked against the definition.
  const Backdrop sample(300, 100);
  const int blurError = Floors(sample).BlurError();
  const bool blurSound = blurError <= kFloorBlurTolerance;
  std::printf("the floor's blur against its definition at 300x100: at most %d levels apart%s\n", blurError,
              blurSound ? "" : "  FLOOR BLUR WRONG");
  std::printf("%d of %d rows within %.0fx their floor, one blend (acrylic: blend + blur); %d with a pixel fault\n",
              tally.withinTarget, tally.rows, kTarget, tally.pixelFaults);
  return tally.pixelFaults == 0 && blurSound;
}

}  // namespace cardel::bench
