// The picture brush drawn into a bitmap and read back: the colour effects within one level per
// channel, the shadow, and where the picture lands.
#include "content/picture_brush.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "render/checked_int.h"
#include "render/gdiplus_session.h"
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
        if (At(x, y) >> 24) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    return right < 0 ? IntRect{} : IntRect{left, top, right - left + 1, bottom - top + 1};
  }
};

// Copies the brush's pixels as they are, alpha included, by filling the whole bitmap with it.
Painted Paint(const gdip::UniqueBrush& brush, SIZE size) {
  Painted out{size.cx, size.cy, {}};
  gdip::UniqueBitmap bitmap = testpictures::MakeBitmap(size.cx, size.cy, [](int, int) { return 0u; });
  if (brush) {
    gdip::UniqueGraphics g;
    GdipGetImageGraphicsContext(bitmap.get(), g.put());
    GdipSetCompositingMode(g.get(), CompositingModeSourceCopy);
    GdipFillRectangleI(g.get(), brush.get(), 0, 0, size.cx, size.cy);
  }
  out.argb = testpictures::ReadPixels(bitmap.get());
  return out;
}

struct Argb {
  int a, r, g, b;
};

// Expected channels as real values, clamped and compared within one level.
void ExpectNear(uint32_t got, Argb want, const char* what) {
  const int channels[4] = {int(got >> 24), int(got >> 16 & 255), int(got >> 8 & 255), int(got & 255)};
  const int wanted[4] = {want.a, want.r, want.g, want.b};
  for (int i = 0; i < 4; ++i)
    EXPECT_NEAR(channels[i], std::clamp(wanted[i], 0, 255), 1) << what << " channel " << "argb"[i] << " of "
                                                               << std::hex << got;
}

int Level(double value) { return static_cast<int>(std::lround(std::clamp(value, 0.0, 255.0))); }

// Three 10 x 10 blocks of opaque colour side by side.
constexpr Argb kA{255, 200, 100, 50}, kB{255, 40, 160, 220}, kC{255, 250, 240, 230};
uint32_t Blocks(int x, int) {
  const Argb c = x < 10 ? kA : x < 20 ? kB : kC;
  return uint32_t(c.a) << 24 | c.r << 16 | c.g << 8 | c.b;
}

class PictureBrushTest : public ::testing::Test {
 protected:
  PictureBrushInput Input(const std::vector<uint8_t>& bytes, SIZE canvas) {
    PictureBrushInput in;
    in.bytes = bytes;
    in.layout.body = {0, 0, canvas.cx, canvas.cy};
    in.canvas = canvas;
    return in;
  }
  Painted Blocked(PictureColourEffects effects) {
    PictureBrushInput in = Input(blocks_, {40, 20});
    in.effects = effects;
    return Paint(BuildPictureBrush(in), in.canvas);
  }
  // Each block's pixel against the value each channel of that block should get.
  template <class Rule>
  void ExpectBlocks(PictureColourEffects effects, Rule rule, const char* what) {
    const Painted p = Blocked(effects);
    const Argb blocks[3] = {kA, kB, kC};
    for (int i = 0; i < 3; ++i) ExpectNear(p.At(i * 10 + 5, 5), rule(blocks[i]), what);
    EXPECT_EQ(p.At(35, 15), 0u) << what;
  }

  gdip::Session gdiplus_;
  const std::vector<uint8_t> blocks_ = EncodeBitmap(30, 10, Blocks, L"image/png");
};

double Luminance(Argb c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

TEST_F(PictureBrushTest, WithoutEffectsThePictureIsCopied) {
  ExpectBlocks({}, [](Argb c) { return c; }, "none");
}

TEST_F(PictureBrushTest, GrayscaleGivesEachChannelTheLuminance) {
  ExpectBlocks({.grayscale = true}, [](Argb c) {
    const int l = Level(Luminance(c));
    return Argb{255, l, l, l};
  }, "grayscale");
}

TEST_F(PictureBrushTest, BrightnessFiftyAddsHalfTheScale) {
  ExpectBlocks({.brightness = 50}, [](Argb c) {
    return Argb{255, Level(c.r + 127.5), Level(c.g + 127.5), Level(c.b + 127.5)};
  }, "brightness");
}

TEST_F(PictureBrushTest, ContrastOneDoublesAboutMidGrey) {
  ExpectBlocks({.contrast = 1}, [](Argb c) {
    return Argb{255, Level(2 * c.r - 127.5), Level(2 * c.g - 127.5), Level(2 * c.b - 127.5)};
  }, "contrast");
}

TEST_F(PictureBrushTest, ColouriseRedMakesThePictureUniformlyRed) {
  ExpectBlocks({.colorize = true, .red = 255}, [](Argb) { return Argb{255, 255, 0, 0}; }, "colourise");
}

TEST_F(PictureBrushTest, OpacityFiftyHalvesAlphaAndKeepsTheColour) {
  ExpectBlocks({.opacity = 50}, [](Argb c) { return Argb{128, c.r, c.g, c.b}; }, "opacity");
  const Painted hidden = Blocked({.opacity = 0});
  EXPECT_EQ(hidden.Ink(), IntRect{});
}

TEST_F(PictureBrushTest, CombinationsFollowTheOrderOfTheEffects) {
  ExpectBlocks({.colorize = true, .green = 255, .grayscale = true}, [](Argb c) {
    const double l = Luminance(c);
    return Argb{255, Level(l), Level(l + 255), Level(l)};
  }, "grayscale keeps the tint");
  ExpectBlocks({.contrast = 1, .grayscale = true}, [](Argb c) {
    const int l = Level(Luminance(c) - 127.5);
    return Argb{255, l, l, l};
  }, "grayscale keeps the contrast offset");
  ExpectBlocks({.contrast = 1, .brightness = 50}, [](Argb c) {
    return Argb{255, Level(2.0 * c.r), Level(2.0 * c.g), Level(2.0 * c.b)};
  }, "contrast then brightness");
  ExpectBlocks({.colorize = true, .red = 255, .green = 255, .contrast = 1}, [](Argb c) {
    return Argb{255, Level(2 * c.r - 127.5), Level(c.r + 2 * c.g - 127.5), Level(2 * c.b - 127.5)};
  }, "contrast replaces the tint's scale and offsets");
  ExpectBlocks({.opacity = 50, .grayscale = true}, [](Argb c) {
    const int l = Level(Luminance(c));
    return Argb{128, l, l, l};
  }, "grayscale at half opacity");
}

class PictureShadowTest : public PictureBrushTest {
 protected:
  PictureBrushInput Shadowed(int16_t size, int16_t colourOpacity) {
    PictureBrushInput in = Input(solid_, {60, 40});
    in.layout.alignH = in.layout.alignV = 7;
    in.layout.body = {10, 10, 40, 20};
    in.effects.opacity = 0;
    in.shadow = {true, size, 0x00FF00, colourOpacity, 0, 0};
    return in;
  }
  const std::vector<uint8_t> solid_ = EncodeBitmap(20, 10, [](int, int) { return 0xFF102030u; }, L"image/png");
};

TEST_F(PictureShadowTest, OpacityZeroHidesThePictureButNotItsShadow) {
  const Painted p = Paint(BuildPictureBrush(Shadowed(2, 100)), {60, 40});
  ExpectNear(p.At(20, 15), {255, 0, 255, 0}, "shadow centre");
  EXPECT_EQ(p.Ink(), (IntRect{8, 8, 24, 14}));
  const uint32_t edge = p.At(8, 15) >> 24;
  EXPECT_GT(edge, 0u);
  EXPECT_LT(edge, 255u);
  EXPECT_EQ(p.At(5, 5), 0u);
}

TEST_F(PictureShadowTest, ItsAlphaFollowsTheShadowOpacityAndItsColourTheEffects) {
  ExpectNear(Paint(BuildPictureBrush(Shadowed(2, 50)), {60, 40}).At(20, 15), {128, 0, 255, 0}, "half");
  PictureBrushInput gray = Shadowed(2, 100);
  gray.effects.grayscale = true;
  const int l = Level(0.587 * 255);
  ExpectNear(Paint(BuildPictureBrush(gray), {60, 40}).At(20, 15), {255, l, l, l}, "grayscale");
}

TEST_F(PictureShadowTest, NoSizeOrNoOpacityOrNotExactlyTrueDrawsNone) {
  EXPECT_EQ(Paint(BuildPictureBrush(Shadowed(0, 100)), {60, 40}).Ink(), IntRect{});
  EXPECT_EQ(Paint(BuildPictureBrush(Shadowed(3, 0)), {60, 40}).Ink(), IntRect{});
  PictureBrushInput off = Shadowed(3, 100);
  off.shadow.on = false;
  EXPECT_EQ(Paint(BuildPictureBrush(off), {60, 40}).Ink(), IntRect{});
}

// The first pixel from the start of a line whose alpha reaches half.
int HalfAlphaAt(const Painted& p, int fixed, bool alongRow) {
  const int count = alongRow ? p.width : p.height;
  for (int i = 0; i < count; ++i)
    if ((alongRow ? p.At(i, fixed) : p.At(fixed, i)) >> 24 >= 128) return i;
  return -1;
}

TEST_F(PictureShadowTest, OffsetsAreNotScaledButTheSizeIs) {
  PictureBrushInput in = Shadowed(1, 100);
  in.layout.dpiScale = 2;
  in.canvas = {100, 60};
  const Painted still = Paint(BuildPictureBrush(in), in.canvas);
  // At scale 2 the picture is 40 x 20 at (10, 10), its shadow grown by 2 on each side; the faintest
  // edge pixels may round away when the shadow is stretched.
  const IntRect ink = still.Ink();
  EXPECT_NEAR(ink.x, 8, 1);
  EXPECT_NEAR(ink.y, 8, 1);
  EXPECT_NEAR(ink.width, 44, 1);
  EXPECT_NEAR(ink.height, 24, 1);
  in.shadow.offsetX = 4;
  in.shadow.offsetY = -3;
  const Painted moved = Paint(BuildPictureBrush(in), in.canvas);
  EXPECT_EQ(HalfAlphaAt(moved, 20, true) - HalfAlphaAt(still, 20, true), 4);
  EXPECT_EQ(HalfAlphaAt(moved, 30, false) - HalfAlphaAt(still, 30, false), -3);
}

class PicturePlacementTest : public PictureBrushTest {
 protected:
  IntRect InkOf(PictureBrushInput in) { return Paint(BuildPictureBrush(in), in.canvas).Ink(); }
  const std::vector<uint8_t> wide_ = EncodeBitmap(200, 100, [](int, int) { return 0xFF808080u; }, L"image/png");
};

TEST_F(PicturePlacementTest, AlignmentAndPaddingMoveIt) {
  PictureBrushInput in = Input(wide_, {400, 300});
  in.layout.body = {0, 0, 300, 200};
  in.layout.alignH = in.layout.alignV = 1;
  in.layout.paddingX = in.layout.paddingY = 10;
  EXPECT_EQ(InkOf(in), (IntRect{60, 60, 200, 100}));
  in.layout.alignH = 2;
  in.layout.paddingX = 5;
  in.layout.alignV = 7;
  EXPECT_EQ(InkOf(in), (IntRect{95, 0, 200, 100}));
}

TEST_F(PicturePlacementTest, AQuarterTurnIsClockwiseAboutTheCentre) {
  const std::vector<uint8_t> halves =
      EncodeBitmap(40, 20, [](int x, int) { return x < 20 ? 0xFFFF0000u : 0xFF0000FFu; }, L"image/png");
  PictureBrushInput in = Input(halves, {100, 100});
  in.layout.alignH = in.layout.alignV = 1;
  in.angle = 90;
  const Painted p = Paint(BuildPictureBrush(in), in.canvas);
  const IntRect ink = p.Ink();
  // Wine loses one row or column of a turned drawing.
  EXPECT_NEAR(ink.x, 40, 1);
  EXPECT_NEAR(ink.y, 30, 1);
  EXPECT_NEAR(ink.width, 20, 1);
  EXPECT_NEAR(ink.height, 40, 1);
  EXPECT_EQ(p.At(50, 35), 0xFFFF0000u);
  EXPECT_EQ(p.At(50, 65), 0xFF0000FFu);
}

TEST_F(PicturePlacementTest, AHalfTurnMirrorsBothWaysInPlace) {
  const std::vector<uint8_t> quarters = EncodeBitmap(
      30, 16, [](int x, int y) { return x < 15 ? (y < 8 ? 0xFFFF0000u : 0xFF00FF00u) : 0xFF0000FFu; }, L"image/png");
  PictureBrushInput in = Input(quarters, {60, 40});
  in.layout.body = {7, 5, 60, 40};
  in.layout.alignH = in.layout.alignV = 7;
  in.angle = 180;
  const Painted p = Paint(BuildPictureBrush(in), in.canvas);
  const IntRect ink = p.Ink();
  EXPECT_NEAR(ink.x, 7, 1);
  EXPECT_NEAR(ink.y, 5, 1);
  EXPECT_NEAR(ink.width, 30, 1);
  EXPECT_NEAR(ink.height, 16, 1);
  EXPECT_EQ(p.At(7 + 3, 5 + 8), 0xFF0000FFu);
  EXPECT_EQ(p.At(7 + 27, 5 + 3), 0xFF00FF00u);
  EXPECT_EQ(p.At(7 + 27, 5 + 12), 0xFFFF0000u);
}

TEST_F(PicturePlacementTest, BytesThatDoNotDecodeGiveNoBrush) {
  const std::vector<uint8_t> cut(wide_.begin(), wide_.end() - 5);
  EXPECT_FALSE(BuildPictureBrush(Input(cut, {50, 50})));
  EXPECT_FALSE(BuildPictureBrush(Input({}, {50, 50})));
  EXPECT_FALSE(BuildPictureBrush(Input(wide_, {0, 50})));
  const std::vector<uint8_t> huge = testpictures::MakePngClaiming(40000, 40000);
  PictureBrushInput in = Input(huge, {50, 50});
  in.shadow = {true, 5, 0, 100, 0, 0};
  EXPECT_EQ(Paint(BuildPictureBrush(in), in.canvas).Ink(), IntRect{});
}

TEST_F(PicturePlacementTest, AbsurdLengthsAreOverflow) {
  PictureBrushInput in = Input(wide_, {50, 50});
  in.layout.paddingX = 30000;
  in.layout.dpiScale = 100000.0f;
  EXPECT_THROW(BuildPictureBrush(in), ArithmeticOverflow);
}

}  // namespace
}  // namespace cardel
