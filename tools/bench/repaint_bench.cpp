// The control's repaint through _ucCardel::Draw against the bare GDI+ calls that repaint cannot avoid.
// What the control adds on top of them is its own bookkeeping (property reads, layout arithmetic, the
// caption's lookup), which must stay small beside the drawing; with warm shadow caches a repaint must
// rebuild nothing, so it too stays close to its bare calls.
#include "repaint_bench.h"

#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "common/automation_handles.h"
#include "common/gdiplus_session.h"
#include "container.h"
#include "content/caption_shadow.h"
#include "library.h"
#include "render/box_layout.h"
#include "render/box_shadow.h"
#include "render/outline.h"
#include "render/outline_path.h"

namespace cardel::bench {
namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using testhost::ComPtr;
using testhost::Container;
using testhost::HostedControl;
using testhost::Library;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 300, kHeight = 100;
constexpr int kRuns = 300;
constexpr double kTarget = 1.3;

constexpr OLE_COLOR kColour1 = 0x00CC6633, kColour2 = 0x0066CCFF, kBorderColour = 0x00202020;
constexpr OLE_COLOR kShadowColour = 0x00000000;
constexpr int16_t kShadowOpacity = 50;
constexpr int16_t kCorner = 12, kBorderWidth = 2, kShadowSize = 8, kShadowOffset = 3;
constexpr int16_t kTailLength = 14, kTailWidth = 20;
constexpr wchar_t kCaption[] = L"Velmar Cardel";
// The control's default font: 8 points at 96 DPI, Tahoma being what Wine substitutes.
constexpr REAL kCaptionEmPixels = 8.0f * 96 / 72;

uint32_t Opaque(OLE_COLOR colour) {
  return 0xFF000000u | (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

// The drawing surface of a form's paint: a 32-bit DIB in a memory DC, as a buffered host gives.
class Surface {
 public:
  Surface() : dc_(CreateCompatibleDC(nullptr)), bitmap_(Dib(dc_.get(), bits_)), selected_(dc_.get(), bitmap_.get()) {}
  HDC Dc() const { return dc_.get(); }

  // What a repaint leaves on a white surface.
  template <class Repaint>
  std::vector<uint32_t> Picture(Repaint repaint) {
    GdiFlush();
    std::fill_n(bits_, kWidth * kHeight, 0xFFFFFFu);
    repaint();
    GdiFlush();
    return {bits_, bits_ + kWidth * kHeight};
  }

 private:
  static HBITMAP Dib(HDC dc, uint32_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, kWidth, -kHeight, 1, 32, BI_RGB};
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  }
  uint32_t* bits_ = nullptr;
  // Declared in this order so that the bitmap leaves the DC before either is deleted.
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  SelectedObject selected_;
};

void Configure(_ucCardel& cardel, bool shadows) {
  cardel.put_Gradient(VARIANT_TRUE);
  cardel.put_GradientColor1(kColour1);
  cardel.put_GradientColor2(kColour2);
  cardel.put_GradientColor1Opacity(100);
  cardel.put_GradientColor2Opacity(100);
  cardel.put_GradientAngle(0);
  cardel.put_BorderCornerLeftTop(kCorner);
  cardel.put_BorderCornerRightTop(kCorner);
  cardel.put_BorderCornerBottomLeft(kCorner);
  cardel.put_BorderCornerBottomRight(kCorner);
  cardel.put_CallOut(VARIANT_TRUE);
  cardel.put_CallOutPosicion(coBottom);
  cardel.put_CallOutAlign(coMidle);
  cardel.put_CallOutLen(kTailLength);
  cardel.put_CallOutWidth(kTailWidth);
  cardel.put_Border(VARIANT_TRUE);
  cardel.put_BorderWidth(kBorderWidth);
  cardel.put_BorderPosition(bpCenter);
  cardel.put_BorderColor(kBorderColour);
  cardel.put_BorderColorOpacity(100);
  cardel.put_ShadowColor(kShadowColour);
  // A new control starts with a transparent shadow colour; only a saved one defaults to half.
  cardel.put_ShadowColorOpacity(kShadowOpacity);
  cardel.put_ShadowOffsetX(kShadowOffset);
  cardel.put_ShadowOffsetY(kShadowOffset);
  cardel.put_ShadowSize(kShadowSize);
  const UniqueBstr owned(SysAllocString(shadows ? kCaption : L""));
  BSTR caption = owned.get();
  cardel.put_Caption(&caption);
  cardel.put_CaptionShadow(shadows ? VARIANT_TRUE : VARIANT_FALSE);
  cardel.put_BackShadow(shadows ? VARIANT_TRUE : VARIANT_FALSE);
}

// The geometry the control derives from the same properties, worked out once: it is arithmetic, not
// GDI+, and the bare repaint only needs its result.
struct Geometry {
  ScaledMetrics metrics{0, kShadowOffset, kShadowOffset, kBorderWidth};
  OutlineInput outline;
  IntRect box;
  BodyRect body{};
};

Geometry Layout(bool shadows) {
  Geometry g;
  if (shadows) g.metrics.shadowSize = kShadowSize;
  g.box = ComputeBoxRect({kWidth, kHeight, bpCenter, shadows, shadows ? kShadowSize : int16_t{0}, g.metrics});
  g.outline = {g.box.x,    g.box.y,     g.box.width, g.box.height, kCorner,     kCorner, kCorner,
               kCorner,    true,        coBottom,    coMidle,      kTailLength, kTailWidth,
               0,          false,       kBorderWidth, bpCenter,    false,       false,   1.0f};
  g.body = BuildOutlinePath(g.outline).geometry.body;
  return g;
}

// What every repaint must do whatever keeps it: the box's one path, filled with the gradient and
// stroked with the border.
void BareBox(GpGraphics* graphics, const Geometry& g) {
  const OutlineResult shape = BuildOutlinePath(g.outline);
  const gdip::UniquePath path = CreateOutlinePath(shape.geometry);
  const GpRectF rect(static_cast<REAL>(g.box.x), static_cast<REAL>(g.box.y), static_cast<REAL>(g.box.width),
                     static_cast<REAL>(g.box.height));
  GpLineGradient* gradient = nullptr;
  GdipCreateLineBrushFromRectWithAngle(&rect, Opaque(kColour1), Opaque(kColour2), 90, FALSE, WrapModeTileFlipXY,
                                       &gradient);
  const gdip::UniqueBrush brush(gradient);
  GdipFillPath(graphics, brush.get(), path.get());
}

void BareBorder(GpGraphics* graphics, const Geometry& g) {
  const gdip::UniquePath path = CreateOutlinePath(BuildOutlinePath(g.outline).geometry);
  gdip::UniquePen pen;
  GdipCreatePen1(Opaque(kBorderColour), kBorderWidth, UnitPixel, pen.put());
  GdipDrawPath(graphics, pen.get(), path.get());
}

gdip::UniqueGraphics BareGraphics(HDC dc) {
  gdip::UniqueGraphics graphics;
  GdipCreateFromHDC(dc, graphics.put());
  GdipSetSmoothingMode(graphics.get(), SmoothingModeAntiAlias);
  return graphics;
}

// The caption's glyphs as the control's path fill receives them.
gdip::UniquePath CaptionPath(const BodyRect& body) {
  gdip::UniqueFontFamily family;
  GdipCreateFontFamilyFromName(L"Tahoma", nullptr, family.put());
  gdip::UniqueStringFormat format;
  GdipCreateStringFormat(0, LANG_NEUTRAL, format.put());
  GdipSetStringFormatAlign(format.get(), Gdiplus::StringAlignmentCenter);
  GdipSetStringFormatLineAlign(format.get(), Gdiplus::StringAlignmentCenter);
  gdip::UniquePath path;
  GdipCreatePath(FillModeAlternate, path.put());
  const RectF layout(static_cast<REAL>(body.x), static_cast<REAL>(body.y), static_cast<REAL>(body.width),
                     static_cast<REAL>(body.height));
  GdipAddPathString(path.get(), kCaption, -1, family.get(), FontStyleRegular, kCaptionEmPixels, &layout,
                    format.get());
  return path;
}

void FillCaption(GpGraphics* graphics, GpPath* path) {
  GpSolidFill* solid = nullptr;
  GdipCreateSolidFill(0xFF000000, &solid);
  const gdip::UniqueBrush brush(solid);
  GdipFillPath(graphics, brush.get(), path);
}

// A body-sized shadow bitmap standing for the caption's, half-covered so that drawing it blends.
gdip::UniqueBitmap CaptionShadowStandIn(const IntRect& at) {
  gdip::UniqueBitmap bitmap;
  GdipCreateBitmapFromScan0(at.width, at.height, 0, PixelFormat32bppPARGB, nullptr, bitmap.put());
  gdip::UniqueGraphics graphics;
  GdipGetImageGraphicsContext(bitmap.get(), graphics.put());
  GpSolidFill* solid = nullptr;
  GdipCreateSolidFill(0x80000000, &solid);
  const gdip::UniqueBrush brush(solid);
  GdipFillRectangleI(graphics.get(), brush.get(), at.width / 4, at.height / 4, at.width / 2, at.height / 2);
  return bitmap;
}

// The share of pixels that differ by more than a few levels in a channel.
double Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  size_t differing = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      if (std::abs(int(a[i] >> shift & 255) - int(b[i] >> shift & 255)) > 4) {
        ++differing;
        break;
      }
  return double(differing) / a.size();
}

double Median(std::vector<double> samples) {
  std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
  return samples[samples.size() / 2];
}

template <class Run>
double Seconds(Run run) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Median times of each variant; the runs alternate, so a drift of the machine reaches all of them alike.
std::vector<double> Medians(const std::vector<std::function<void()>>& variants) {
  std::vector<std::vector<double>> samples(variants.size());
  for (int run = 0; run < kRuns; ++run)
    for (size_t v = 0; v < variants.size(); ++v) samples[v].push_back(Seconds(variants[v]));
  std::vector<double> medians;
  for (auto& s : samples) medians.push_back(Median(std::move(s)));
  return medians;
}

// differing: the share of pixels where the two pictures differ, so that a ratio between repaints
// that draw different things is seen for what it is.
bool Report(const char* what, double control, double bare, double differing) {
  const double ratio = control / bare;
  std::printf("%-40s %8.3f %8.3f %6.2fx %9.1f%%  %s\n", what, control * 1e3, bare * 1e3, ratio, differing * 100,
              ratio <= kTarget ? "within 1.3x" : "OVER 1.3x");
  return ratio <= kTarget;
}

}  // namespace

bool RunRepaintBench() {
  Library library;
  Container form(library, {kWidth + 20, kHeight + 20});
  HostedControl& hosted = form.Add({0, 0, kWidth, kHeight}, {.init_through_bag = false});
  ComPtr<_ucCardel> cardel = hosted.Cardel();
  double scale = 0;
  cardel->GetWindowsDPI(&scale);
  if (scale != 1.0) {
    std::printf("repaint: the screen is at %.0f DPI; the bare calls assume 96\n", scale * 96);
    return false;
  }
  // The bare calls need a GDI+ of their own, as the control has; the session outlives their objects.
  gdip::Session session;
  Surface surface;
  const HDC dc = surface.Dc();
  const LONG handle = static_cast<LONG>(reinterpret_cast<intptr_t>(dc));
  const auto draw = [&] {
    LONG y = 0;
    cardel->Draw(handle, 0, 0, &y);
  };

  std::printf("\n%-40s %8s %8s %7s %10s\n", "repaint of 300x100, median of 300", "Draw ms", "bare ms", "ratio",
              "differing");
  bool met = true;

  Configure(*cardel.Get(), false);
  form.Repaint();
  const Geometry plain = Layout(false);
  const auto plainBare = [&] {
    const gdip::UniqueGraphics graphics = BareGraphics(dc);
    BareBox(graphics.get(), plain);
    BareBorder(graphics.get(), plain);
  };
  std::vector<double> m = Medians({draw, plainBare});
  met &= Report("gradient, corners, tail, centred border", m[0], m[1],
                Differing(surface.Picture(draw), surface.Picture(plainBare)));

  Configure(*cardel.Get(), true);
  const double cold = Seconds(draw);
  draw();
  const Geometry shaded = Layout(true);
  BoxShadowInput boxShadow{true, {kShadowSize, 0, 0, kShadowColour, kShadowOpacity}, 100, true, plain.outline, kWidth, kHeight};
  boxShadow.shape.borderPosition = bpCenter;
  const gdip::UniqueBitmap boxShadowImage = RenderBoxShadow(boxShadow);
  const IntRect boxShadowAt = BoxShadowImageRect(kWidth, kHeight, kShadowOffset, kShadowOffset);
  const IntRect captionShadowAt = CaptionShadowImageRect(shaded.body, shaded.metrics);
  const gdip::UniqueBitmap captionShadowImage = CaptionShadowStandIn(captionShadowAt);
  const gdip::UniquePath captionPath = CaptionPath(shaded.body);
  const auto shadowedBare = [&](GpPath* caption) {
    const gdip::UniqueGraphics graphics = BareGraphics(dc);
    GdipDrawImageRectI(graphics.get(), boxShadowImage.get(), boxShadowAt.x, boxShadowAt.y, boxShadowAt.width,
                       boxShadowAt.height);
    BareBox(graphics.get(), shaded);
    GdipDrawImageRectI(graphics.get(), captionShadowImage.get(), captionShadowAt.x, captionShadowAt.y,
                       captionShadowAt.width, captionShadowAt.height);
    FillCaption(graphics.get(), caption);
    BareBorder(graphics.get(), shaded);
  };
  m = Medians({draw, [&] { shadowedBare(captionPath.get()); },
               [&] { shadowedBare(CaptionPath(shaded.body).get()); }});
  // The caption's shadow stands in as a blended rectangle, so the pictures differ there and only there.
  met &= Report("warm shadows, caption path prebuilt", m[0], m[1],
                Differing(surface.Picture(draw), surface.Picture([&] { shadowedBare(captionPath.get()); })));
  std::printf("%-40s %8.3f %8.3f %6.2fx  (the caption laid out in both)\n", "warm shadows, caption path built",
              m[0] * 1e3, m[2] * 1e3, m[0] / m[2]);
  std::printf("%-40s %8.3f %8s %6.2fx  (against the warm one)\n", "first repaint after the change (cold)",
              cold * 1e3, "", cold / m[0]);
  return met;
}

}  // namespace cardel::bench
