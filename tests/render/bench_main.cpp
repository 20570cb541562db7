// cardel-picture-bench: the acrylic blur at two sizes, and the control's repaints with a cached picture
// brush and with the acrylic layer against the bare GDI+ calls those repaints make.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "common/gdiplus_session.h"
#include "container.h"
#include "dib_surface.h"
#include "library.h"
#include "render/acrylic_blur.h"
#include "render/acrylic_blur_kernels.h"
#include "test_pictures.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using Clock = std::chrono::steady_clock;

namespace {

// The median of several runs, in milliseconds, after one run to warm caches.
double Median(int runs, const std::function<void()>& run) {
  run();
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    run();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
  return times[runs / 2];
}

std::vector<uint8_t> Noise(int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  std::mt19937 random(1);
  for (uint8_t& v : pixels) v = static_cast<uint8_t>(random());
  return pixels;
}

double BlurMs(int width, int height) {
  std::vector<uint8_t> pixels = Noise(width, height), scratch(pixels.size());
  return Median(21, [&] { cardel::GaussianBlur({pixels, width, height}, scratch, cardel::kAcrylicBlurRadius); });
}

// The same six passes without SSE2, as on a processor that lacks it.
double ScalarBlurMs(int width, int height) {
  std::vector<uint8_t> pixels = Noise(width, height), scratch(pixels.size());
  std::vector<uint32_t> sums(static_cast<size_t>(width) * 4);
  const cardel::PixelPlane a{pixels, width, height}, b{scratch, width, height};
  const cardel::BoxRadii r = cardel::BoxRadiiForGaussian(cardel::kAcrylicBlurRadius);
  return Median(21, [&] {
    cardel::blur::RowsScalar(a, b, r.first);
    cardel::blur::RowsScalar(b, a, r.second);
    cardel::blur::RowsScalar(a, b, r.third);
    cardel::blur::ColumnsScalar(b, a, r.first, sums.data());
    cardel::blur::ColumnsScalar(a, b, r.second, sums.data());
    cardel::blur::ColumnsScalar(b, a, r.third, sums.data());
  });
}

// What a repaint of a plain box with a picture costs in GDI+ alone: the Graphics, the outline, the
// background fill and the fill with a texture brush made beforehand (or, for the acrylic, made from
// already blurred pixels on the spot).
double BareRepaintMs(HDC dc, int width, int height, GpBrush* texture, GpBitmap* acrylicPixels) {
  return Median(21, [&] {
    cardel::gdip::UniqueGraphics g;
    GdipCreateFromHDC(dc, g.put());
    GdipSetSmoothingMode(g.get(), SmoothingModeAntiAlias);
    GdipTranslateWorldTransform(g.get(), 0, 0, MatrixOrderAppend);
    cardel::gdip::UniquePath path;
    GdipCreatePath(FillModeAlternate, path.put());
    GdipAddPathRectangleI(path.get(), 0, 0, width - 1, height - 1);
    if (acrylicPixels) {
      GpTexture* made = nullptr;
      GdipCreateTexture(acrylicPixels, WrapModeTile, &made);
      cardel::gdip::UniqueBrush brush(made);
      GdipFillPath(g.get(), brush.get(), path.get());
    }
    GpSolidFill* solid = nullptr;
    GdipCreateSolidFill(0x80FFFFFF, &solid);
    cardel::gdip::UniqueBrush fill(solid);
    GdipFillPath(g.get(), fill.get(), path.get());
    if (texture) GdipFillPath(g.get(), texture, path.get());
  });
}

double ControlRepaintMs(_ucCardel* cardel, HDC dc) {
  const LONG target = static_cast<LONG>(reinterpret_cast<intptr_t>(dc));
  return Median(21, [&] {
    LONG y = 0;
    cardel->Draw(target, 0, 0, &y);
  });
}

}  // namespace

int main() {
  cardel::gdip::Session gdiplus;
  std::printf("acrylic blur, radius %d\n", cardel::kAcrylicBlurRadius);
  for (const auto& [w, h] : {std::pair{300, 100}, std::pair{1000, 600}})
    std::printf("  %4d x %-4d %8.2f ms (without SSE2 %.2f ms)\n", w, h, BlurMs(w, h), ScalarBlurMs(w, h));

  cardel::testhost::Library library;
  cardel::testhost::Container box(library, {1100, 700});
  std::printf("repaint (median ms)          control      bare   ratio\n");
  for (const auto& [w, h] : {std::pair{300, 100}, std::pair{1000, 600}}) {
    auto& hosted = box.Add({0, 0, w, h});
    Microsoft::WRL::ComPtr<_ucCardel> cardel = hosted.Cardel();
    cardel::testhost::SetCaption(cardel.Get(), L"");
    cardel->put_BackColorOpacity(50);
    const std::vector<uint8_t> picture =
        cardel::testpictures::EncodeBitmap(w / 2, h / 2, [](int x, int y) { return 0xFF000000u | x * 7 | y << 8; },
                                           L"image/png");
    SAFEARRAYBOUND bound{static_cast<ULONG>(picture.size()), 0};
    SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
    memcpy(array->pvData, picture.data(), picture.size());
    VARIANT_BOOL loaded = 0;
    cardel->PictureFromStream(&array, &loaded);
    SafeArrayDestroy(array);
    const cardel::testhost::DibSurface target(w, h, 0);

    cardel::gdip::UniqueBitmap canvas = cardel::testpictures::MakeBitmap(w, h, [](int x, int) { return x % 3 ? 0xFF336699u : 0u; });
    GpTexture* made = nullptr;
    GdipCreateTexture(canvas.get(), WrapModeTile, &made);
    cardel::gdip::UniqueBrush texture(made);
    const double picturePaint = ControlRepaintMs(cardel.Get(), target.Dc());
    const double pictureBare = BareRepaintMs(target.Dc(), w, h, texture.get(), nullptr);
    std::printf("  picture %4d x %-4d      %8.2f  %8.2f   %.2f\n", w, h, picturePaint, pictureBare,
                picturePaint / pictureBare);

    VARIANT none;
    VariantInit(&none);
    cardel->PictureDelete(&none);
    cardel->put_BackAcrylicBlur(VARIANT_TRUE);
    box.Repaint();
    const double blur = BlurMs(w, h);
    cardel::gdip::UniqueBitmap blurred = cardel::testpictures::MakeBitmap(w, h, [](int, int) { return 0xFF808080u; });
    const double acrylicPaint = ControlRepaintMs(cardel.Get(), target.Dc());
    const double acrylicBare = BareRepaintMs(target.Dc(), w, h, nullptr, blurred.get());
    std::printf("  acrylic %4d x %-4d      %8.2f  %8.2f   %.2f (bare + blur %.2f)\n", w, h, acrylicPaint, acrylicBare,
                acrylicPaint / (acrylicBare + blur), acrylicBare + blur);
    box.Remove(hosted);
  }
  return 0;
}
