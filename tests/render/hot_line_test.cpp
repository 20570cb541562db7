// The hot line: its cut-out for each border and shadow arrangement, and the band on screen along
// the rounded outline and over a tail on its side.
#include "render/hot_line.h"

#include <gtest/gtest.h>

#include "container.h"
#include "library.h"

namespace cardel {
namespace {

constexpr int32_t kLeft = 0, kTop = 1, kRight = 2, kBottom = 3;

HotLineInput Band(int32_t position) {
  HotLineInput in;
  in.clientWidth = 100;
  in.clientHeight = 60;
  in.position = position;
  in.width = 5;
  return in;
}

// The plain cases and the tails are shown on screen below.
TEST(HotLineCutout, FollowsBorderShadowAndScale) {
  const auto with = [](HotLineInput in, auto change) {
    change(in);
    return in;
  };
  const struct {
    HotLineInput in;
    IntRect cutout;
  } cases[] = {
      {with(Band(kLeft), [](auto& in) { in.borderPosition = 2, in.borderWidth = 4; }), {9, 4, 96, 56}},
      {with(Band(kRight), [](auto& in) { in.borderPosition = 2, in.borderWidth = 4; }), {0, 0, 91, 56}},
      {with(Band(kTop), [](auto& in) { in.borderPosition = 1, in.borderWidth = 3; }), {2, 7, 96, 56}},
      {with(Band(kRight),
            [](auto& in) { in.backShadow = true, in.shadowSize = 5, in.shadowOffsetX = -3, in.shadowOffsetY = 2; }),
       {-2, -5, 95, 60}},
      {with(Band(kLeft), [](auto& in) { in.dpiScale = 1.5f; }), {8, 0, 100, 60}},
  };
  for (const auto& c : cases) EXPECT_EQ(HotLineCutout(c.in), c.cutout) << c.in.position << ' ' << c.in.borderPosition;
}

}  // namespace

namespace host {
namespace {

constexpr POINT kOrigin{20, 20};
constexpr RECT kRect{kOrigin.x, kOrigin.y, kOrigin.x + 100, kOrigin.y + 60};
constexpr Pixel kWhite = 0xFFFFFF, kRed = 0xFF0000;
constexpr Pixel kBackground = 1;  // stands for the host's own pixel at that point

struct Probe {
  int x, y;
  Pixel expected;
};

// A white 100 x 60 box with corner radii 10 and a red band 5 pixels wide.
TEST(HotLineOnScreen, TheBandFollowsTheOutlineAndCoversItsSidesTail) {
  const struct {
    int32_t position;
    int32_t tail;  // -1: none
    std::vector<Probe> probes;
  } cases[] = {
      {kLeft, -1, {{2, 30, kRed}, {4, 30, kRed}, {5, 30, kWhite}, {1, 1, kBackground}, {3, 9, kRed}}},
      {kRight, -1, {{97, 30, kRed}, {95, 30, kRed}, {94, 30, kWhite}, {98, 1, kBackground}, {96, 50, kRed}}},
      // The body ends at 49 and the tail reaches 59: the band is 5 + 10 high and holds the whole tail.
      {kBottom, kBottom, {{50, 46, kRed}, {50, 44, kWhite}, {49, 55, kRed}, {30, 55, kBackground}, {1, 48, kBackground}}},
      {kTop, kLeft, {{50, 2, kRed}, {50, 5, kWhite}, {6, 30, kWhite}, {11, 1, kBackground}}},
  };
  Library library;
  Container box{library};
  for (const auto& c : cases) {
    ComPtr<_ucCardel> cardel = box.Add(kRect).Cardel();
    SetCaption(cardel.Get(), L"");
    cardel->put_FrontColor(kWhite);
    cardel->put_HotLineColor(RGB(255, 0, 0));
    cardel->put_HotLineWidth(5);
    cardel->put_HotLinePosition(static_cast<::HotLinePosition>(c.position));
    for (auto put : {&_ucCardel::put_BorderCornerLeftTop, &_ucCardel::put_BorderCornerRightTop,
                     &_ucCardel::put_BorderCornerBottomLeft, &_ucCardel::put_BorderCornerBottomRight})
      (cardel.Get()->*put)(10);
    if (c.tail >= 0) {
      cardel->put_CallOutPosicion(static_cast<eCallOutPosition>(c.tail));
      cardel->put_CallOutAlign(coMidle);
      cardel->put_CallOutWidth(20);
      cardel->put_CallOutLen(10);
      cardel->put_CallOut(VARIANT_TRUE);
    }
    cardel->put_HotLine(VARIANT_TRUE);
    const Image image = box.Capture(kRect);
    for (const Probe& p : c.probes) {
      const Pixel expected =
          p.expected == kBackground ? Container::BackgroundAt(kOrigin.x + p.x, kOrigin.y + p.y) : p.expected;
      EXPECT_EQ(image.At(p.x, p.y), expected) << "side " << c.position << " at " << p.x << ',' << p.y;
    }
    box.RemoveAll();
  }
}

}  // namespace
}  // namespace host
}  // namespace cardel
