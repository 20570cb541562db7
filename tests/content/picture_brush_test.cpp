// The picture brush drawn into a bitmap and read back: the colour effects within one level per
// channel, the shadow, and where the picture lands.
#include "content/picture_brush.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "common/checked_int.h"
#include "common/gdiplus_session.h"
#include "test_pictures.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {
namespace {

using testpictures::EncodeBitmap;

struct Painted {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;
  uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
  // The smallest rectangle holding every pixel that is not fully transparent.
  IntRect Ink() const {
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (At(x, y) >> 24) left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = y;
    return right < 0 ? IntRect{} : IntRect{left, top, right - left + 1, bottom - top + 1};
  }
};

// The brush's pixels as they are, alpha included, from filling a transparent canvas with it.
Painted Paint(const PictureBrushInput& in) {
  const gdip::UniqueBrush brush = BuildPictureBrush(in);
  gdip::UniqueBitmap bitmap = testpictures::MakeBitmap(in.canvas.cx, in.canvas.cy, [](int, int) { return 0u; });
  if (brush) {
    gdip::UniqueGraphics g;
    GdipGetImageGraphicsContext(bitmap.get(), g.put());
    GdipSetCompositingMode(g.get(), CompositingModeSourceCopy);
    GdipFillRectangleI(g.get(), brush.get(), 0, 0, in.canvas.cx, in.canvas.cy);
  }
  return {in.canvas.cx, in.canvas.cy, testpictures::ReadPixels(bitmap.get())};
}

struct Argb {
  double a, r, g, b;
};

void ExpectNear(uint32_t got, Argb want, const std::string& what) {
  const int channels[4] = {int(got >> 24), int(got >> 16 & 255), int(got >> 8 & 255), int(got & 255)};
  const double wanted[4] = {want.a, want.r, want.g, want.b};
  for (int i = 0; i < 4; ++i)
    EXPECT_NEAR(channels[i], std::clamp(wanted[i], 0.0, 255.0), 1) << what << " channel " << "argb"[i];
}

double Luminance(Argb c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }
Argb Grey(double level, double alpha = 255) { return {alpha, level, level, level}; }

class PictureBrushTest : public ::testing::Test {
 protected:
  static PictureBrushInput Input(const std::vector<uint8_t>& bytes, SIZE canvas) {
    PictureBrushInput in;
    in.bytes = bytes;
    in.layout.body = {0, 0, canvas.cx, canvas.cy};
    in.canvas = canvas;
    return in;
  }
  // A picture of three 10 x 10 blocks of opaque colour, with a 40 x 20 canvas around it.
  static constexpr Argb kBlocks[3] = {{255, 200, 100, 50}, {255, 40, 160, 220}, {255, 250, 240, 230}};
  PictureBrushInput Blocks() const { return Input(blocks_, {40, 20}); }

  // A 20 x 10 picture hidden at opacity 0 at (10, 10), casting a green shadow of the given size.
  PictureBrushInput Shadowed(int16_t size, int16_t colourOpacity) const {
    PictureBrushInput in = Input(solid_, {60, 40});
    in.layout.alignH = in.layout.alignV = 7;
    in.layout.body = {10, 10, 40, 20};
    in.effects.opacity = 0;
    in.shadow = {true, {size, 0, 0, 0x00FF00, colourOpacity}};
    return in;
  }

  gdip::Session gdiplus_;
  const std::vector<uint8_t> blocks_ = EncodeBitmap(30, 10, [](int x, int) {
    const Argb c = kBlocks[x / 10];
    return 0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | uint32_t(c.b);
  }, L"image/png");
  const std::vector<uint8_t> solid_ = EncodeBitmap(20, 10, [](int, int) { return 0xFF102030u; }, L"image/png");
};

// Colourise, opacity, contrast (2c - 0.5 at 1), brightness and grayscale in that order: grayscale
// replaces the scale but keeps the offsets of tint and contrast, contrast replaces the tint's own.
TEST_F(PictureBrushTest, EffectsGiveTheirColourMathsWithinOneLevel) {
  const struct {
    const char* what;
    PictureColourEffects effects;
    std::function<Argb(Argb)> rule;
  } cases[] = {
      {"none", {}, [](Argb c) { return c; }},
      {"grayscale", {.grayscale = true}, [](Argb c) { return Grey(Luminance(c)); }},
      {"brightness 50", {.brightness = 50}, [](Argb c) { return Argb{255, c.r + 127.5, c.g + 127.5, c.b + 127.5}; }},
      {"contrast 1", {.contrast = 1}, [](Argb c) { return Argb{255, 2 * c.r - 127.5, 2 * c.g - 127.5, 2 * c.b - 127.5}; }},
      {"contrast -1", {.contrast = -1}, [](Argb) { return Grey(127.5); }},
      {"colourise red", {.colorize = true, .red = 255}, [](Argb) { return Argb{255, 255, 0, 0}; }},
      {"opacity 50", {.opacity = 50}, [](Argb c) { return Argb{128, c.r, c.g, c.b}; }},
      {"grayscale keeps the tint", {.colorize = true, .green = 255, .grayscale = true},
       [](Argb c) { return Argb{255, Luminance(c), Luminance(c) + 255, Luminance(c)}; }},
      {"grayscale keeps the contrast offset", {.contrast = 1, .grayscale = true},
       [](Argb c) { return Grey(Luminance(c) - 127.5); }},
      {"contrast then brightness", {.contrast = 1, .brightness = 50},
       [](Argb c) { return Argb{255, 2 * c.r, 2 * c.g, 2 * c.b}; }},
      {"contrast replaces the tint's scale and offsets", {.colorize = true, .red = 255, .green = 255, .contrast = 1},
       [](Argb c) { return Argb{255, 2 * c.r - 127.5, c.r + 2 * c.g - 127.5, 2 * c.b - 127.5}; }},
      {"grayscale at half opacity", {.opacity = 50, .grayscale = true}, [](Argb c) { return Grey(Luminance(c), 128); }},
  };
  for (const auto& c : cases) {
    PictureBrushInput in = Blocks();
    in.effects = c.effects;
    const Painted p = Paint(in);
    for (int i = 0; i < 3; ++i) ExpectNear(p.At(i * 10 + 5, 5), c.rule(kBlocks[i]), c.what);
    EXPECT_EQ(p.At(35, 15), 0u) << c.what;
  }
  PictureBrushInput hidden = Blocks();
  hidden.effects.opacity = 0;
  EXPECT_EQ(Paint(hidden).Ink(), IntRect{});
}

TEST_F(PictureBrushTest, OpacityZeroHidesThePictureButNotItsShadow) {
  const Painted p = Paint(Shadowed(2, 100));
  ExpectNear(p.At(20, 15), {255, 0, 255, 0}, "shadow centre");
  EXPECT_EQ(p.Ink(), (IntRect{8, 8, 24, 14}));
  EXPECT_TRUE((p.At(8, 15) >> 24) > 0 && (p.At(8, 15) >> 24) < 255);
  ExpectNear(Paint(Shadowed(2, 50)).At(20, 15), {128, 0, 255, 0}, "half opacity");
  PictureBrushInput gray = Shadowed(2, 100);
  gray.effects.grayscale = true;
  ExpectNear(Paint(gray).At(20, 15), Grey(0.587 * 255), "grayscale");

  PictureBrushInput off = Shadowed(3, 100);
  off.shadow.on = false;
  for (const PictureBrushInput& none : {Shadowed(0, 100), Shadowed(3, 0), off}) EXPECT_EQ(Paint(none).Ink(), IntRect{});
}

// The first pixel from the start of a line whose alpha reaches half.
int HalfAlphaAt(const Painted& p, int fixed, bool alongRow) {
  for (int i = 0; i < (alongRow ? p.width : p.height); ++i)
    if ((alongRow ? p.At(i, fixed) : p.At(fixed, i)) >> 24 >= 128) return i;
  return -1;
}

TEST_F(PictureBrushTest, ShadowOffsetsAreNotScaledButTheSizeIs) {
  PictureBrushInput in = Shadowed(1, 100);
  in.layout.dpiScale = 2;
  in.canvas = {100, 60};
  const Painted still = Paint(in);
  // At scale 2 the picture is 40 x 20 at (10, 10), its shadow grown by 2 on each side; the faintest
  // edge pixels may round away when the shadow is stretched.
  const IntRect ink = still.Ink();
  EXPECT_NEAR(ink.x, 8, 1);
  EXPECT_NEAR(ink.y, 8, 1);
  EXPECT_NEAR(ink.width, 44, 1);
  EXPECT_NEAR(ink.height, 24, 1);
  in.shadow.shadow.offsetX = 4;
  in.shadow.shadow.offsetY = -3;
  const Painted moved = Paint(in);
  EXPECT_EQ(HalfAlphaAt(moved, 20, true) - HalfAlphaAt(still, 20, true), 4);
  EXPECT_EQ(HalfAlphaAt(moved, 30, false) - HalfAlphaAt(still, 30, false), -3);
}

TEST_F(PictureBrushTest, AlignmentPaddingAndTurnsPlaceIt) {
  const std::vector<uint8_t> grey = EncodeBitmap(200, 100, [](int, int) { return 0xFF808080u; }, L"image/png");
  const std::vector<uint8_t> halves =
      EncodeBitmap(40, 20, [](int x, int) { return x < 20 ? 0xFFFF0000u : 0xFF0000FFu; }, L"image/png");
  const std::vector<uint8_t> quarters = EncodeBitmap(
      30, 16, [](int x, int y) { return x < 15 ? (y < 8 ? 0xFFFF0000u : 0xFF00FF00u) : 0xFF0000FFu; }, L"image/png");
  PictureBrushInput in = Input(grey, {400, 300});
  in.layout.body = {0, 0, 300, 200};
  in.layout.alignH = in.layout.alignV = 1;
  in.layout.paddingX = in.layout.paddingY = 10;
  EXPECT_EQ(Paint(in).Ink(), (IntRect{60, 60, 200, 100}));
  in.layout.alignH = 2;
  in.layout.paddingX = 5;
  in.layout.alignV = 7;
  EXPECT_EQ(Paint(in).Ink(), (IntRect{95, 0, 200, 100}));

  // A quarter turn is clockwise about the centre: the left (red) half goes up. Wine loses one row
  // or column of a turned drawing.
  in = Input(halves, {100, 100});
  in.layout.alignH = in.layout.alignV = 1;
  in.angle = 90;
  Painted p = Paint(in);
  IntRect ink = p.Ink();
  EXPECT_TRUE(std::abs(ink.x - 40) <= 1 && std::abs(ink.y - 30) <= 1 && std::abs(ink.width - 20) <= 1 &&
              std::abs(ink.height - 40) <= 1);
  EXPECT_EQ(p.At(50, 35), 0xFFFF0000u);
  EXPECT_EQ(p.At(50, 65), 0xFF0000FFu);

  // A half turn mirrors both ways in place.
  in = Input(quarters, {60, 40});
  in.layout.body = {7, 5, 60, 40};
  in.layout.alignH = in.layout.alignV = 7;
  in.angle = 180;
  p = Paint(in);
  ink = p.Ink();
  EXPECT_TRUE(std::abs(ink.x - 7) <= 1 && std::abs(ink.y - 5) <= 1 && std::abs(ink.width - 30) <= 1 &&
              std::abs(ink.height - 16) <= 1);
  EXPECT_EQ(p.At(7 + 3, 5 + 8), 0xFF0000FFu);
  EXPECT_EQ(p.At(7 + 27, 5 + 3), 0xFF00FF00u);
  EXPECT_EQ(p.At(7 + 27, 5 + 12), 0xFFFF0000u);
}

// Among them a PNG whose header claims 40000 x 40000 pixels, which must neither crash nor hang.
TEST_F(PictureBrushTest, BytesThatDoNotDecodeGiveNoBrushAndAbsurdLengthsOverflow) {
  const std::vector<uint8_t> cut(solid_.begin(), solid_.end() - 5);
  EXPECT_FALSE(BuildPictureBrush(Input(cut, {50, 50})));
  EXPECT_FALSE(BuildPictureBrush(Input({}, {50, 50})));
  EXPECT_FALSE(BuildPictureBrush(Input(solid_, {0, 50})));
  const std::vector<uint8_t> claimed = testpictures::MakePngClaiming(40000, 40000);
  PictureBrushInput huge = Input(claimed, {50, 50});
  huge.shadow = {true, {5, 0, 0, 0, 100}};
  EXPECT_EQ(Paint(huge).Ink(), IntRect{});

  PictureBrushInput in = Input(solid_, {50, 50});
  in.layout.paddingX = 30000;
  in.layout.dpiScale = 100000.0f;
  EXPECT_THROW(BuildPictureBrush(in), ArithmeticOverflow);
}

}  // namespace
}  // namespace cardel
