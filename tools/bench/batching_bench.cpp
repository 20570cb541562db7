// A host that sets up a control in code changes many properties at once. Each setter repaints by
// itself, so that a single change shows at once; around a batch, Redraw False holds the repaints back
// and one Refresh shows the result.
#include "batching_bench.h"

#include <cstdio>
#include <iterator>

#include "backdrop.h"
#include "dib_surface.h"
#include "pixel_compare.h"
#include "repaint_configs.h"
#include "stage.h"
#include "timing.h"

namespace cardel::bench {
namespace {

constexpr SIZE kSize{300, 100};

using Put = void (*)(_ucCardel& cardel, bool second);

#define CARDEL_PUT(property, first, other) \
  [](_ucCardel& c, bool second) { c.put_##property(second ? (other) : (first)); }

// Forty-five properties a host typically sets up, with two values each.
constexpr Put kPuts[] = {
    CARDEL_PUT(FrontColor, 0x00FFFFFF, 0x00EEEEEE),
    CARDEL_PUT(BackColorOpacity, 100, 90),
    CARDEL_PUT(Gradient, VARIANT_TRUE, VARIANT_FALSE),
    CARDEL_PUT(GradientColor1, 0x00CC6633, 0x00339966),
    CARDEL_PUT(GradientColor2, 0x0066CCFF, 0x00FFCC66),
    CARDEL_PUT(GradientColor1Opacity, 100, 90),
    CARDEL_PUT(GradientColor2Opacity, 90, 100),
    CARDEL_PUT(GradientAngle, 30, 60),
    CARDEL_PUT(BorderCornerLeftTop, 12, 10),
    CARDEL_PUT(BorderCornerRightTop, 12, 10),
    CARDEL_PUT(BorderCornerBottomLeft, 12, 10),
    CARDEL_PUT(BorderCornerBottomRight, 12, 10),
    CARDEL_PUT(CallOut, VARIANT_TRUE, VARIANT_FALSE),
    CARDEL_PUT(CallOutPosicion, coBottom, coTop),
    CARDEL_PUT(CallOutAlign, coMidle, coFirstCorner),
    CARDEL_PUT(CallOutLen, 14, 12),
    CARDEL_PUT(CallOutWidth, 20, 16),
    CARDEL_PUT(Border, VARIANT_TRUE, VARIANT_FALSE),
    CARDEL_PUT(BorderWidth, 2, 3),
    CARDEL_PUT(BorderPosition, bpCenter, bpInside),
    CARDEL_PUT(BorderColor, 0x00202020, 0x00404040),
    CARDEL_PUT(BorderColorOpacity, 100, 80),
    CARDEL_PUT(ShadowColor, 0x00000000, 0x00200000),
    CARDEL_PUT(ShadowColorOpacity, 50, 40),
    CARDEL_PUT(ShadowOffsetX, 3, 2),
    CARDEL_PUT(ShadowOffsetY, 3, 2),
    CARDEL_PUT(ShadowSize, 8, 6),
    CARDEL_PUT(BackShadow, VARIANT_TRUE, VARIANT_FALSE),
    CARDEL_PUT(CaptionShadow, VARIANT_TRUE, VARIANT_FALSE),
    CARDEL_PUT(CaptionAlignmentH, cCenter, cLeft),
    CARDEL_PUT(CaptionAlignmentV, cMiddle, cTop),
    CARDEL_PUT(CaptionPaddingX, 4, 2),
    CARDEL_PUT(CaptionPaddingY, 2, 1),
    CARDEL_PUT(CaptionAngle, 0, 5),
    CARDEL_PUT(ForeColor, 0x00000000, 0x00102030),
    CARDEL_PUT(ForeColorOpacity, 100, 90),
    CARDEL_PUT(HotLine, VARIANT_TRUE, VARIANT_FALSE),
    CARDEL_PUT(HotLineColor, 0x000000FF, 0x0000FF00),
    CARDEL_PUT(HotLineColorOpacity, 100, 80),
    CARDEL_PUT(HotLineWidth, 5, 3),
    CARDEL_PUT(PictureOpacity, 80, 60),
    CARDEL_PUT(PictureContrast, 25, 10),
    CARDEL_PUT(PictureColorize, VARIANT_TRUE, VARIANT_FALSE),
    CARDEL_PUT(PictureColor, 0x00336699, 0x00996633),
    CARDEL_PUT(PictureShadow, VARIANT_TRUE, VARIANT_FALSE),
};
static_assert(std::size(kPuts) == 45);

#undef CARDEL_PUT

}  // namespace

bool RunBatchingBench(const host::Library& library) {
  Stage stage(library, kSize);
  _ucCardel& cardel = stage.Cardel();
  bool applied;
  {
    const RedrawOff quiet(cardel);
    applied = ApplyAllOpaqueLayers(cardel, kSize);
  }
  // Every application switches every property to its other value, so that each setter changes it.
  bool second = false;
  const auto putAll = [&] {
    second = !second;
    for (const Put put : kPuts) put(cardel, second);
  };
  const auto batched = [&] {
    {
      const RedrawOff quiet(cardel);
      putAll();
    }
    cardel.Refresh();
  };
  const Timings t = Interleaved({{putAll, {}}, {batched, {}}}, {0.6, 3, 41});

  const Backdrop backdrop(kSize.cx, kSize.cy);
  const host::DibSurface viewed(kSize.cx, kSize.cy);
  backdrop.CopyTo(viewed);
  const HRESULT painted = stage.PaintThroughView(viewed.Dc());
  const PixelDifference difference = stage.DirectAgainst(viewed.All(), backdrop);
  const bool fine = difference.Acceptable() && SUCCEEDED(painted) && applied;
  std::printf("\n%zu property changes at %ldx%ld, every layer but the acrylic (median ms, %d runs)\n", std::size(kPuts),
              kSize.cx, kSize.cy, t.rounds);
  std::printf("  one by one, each repainting the container %9.2f\n", t.medians[0] * 1e3);
  std::printf("  Redraw False, the changes, Redraw True, Refresh %5.2f  (%.1fx faster)\n", t.medians[1] * 1e3,
              t.medians[0] / t.medians[1]);
  std::printf("  paint after them against the direct paint: max %d, %.2f%% differ%s\n", difference.maxChannel,
              difference.percent,
              !applied              ? "  SET-UP REFUSED"
              : !SUCCEEDED(painted) ? "  PAINT FAILED"
              : fine                ? ""
                                    : "  PIXELS DIFFER");
  return fine;
}

}  // namespace cardel::bench
