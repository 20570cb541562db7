#include "render/font_metrics.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <ostream>

namespace cardel {
namespace {

using Microsoft::WRL::ComPtr;

CY Points(int64_t tenThousandths) {
  CY size{};
  size.int64 = tenThousandths;
  return size;
}

struct EmCase {
  int64_t tenThousandthsOfPoint;
  int logPixelsY;
  int32_t emPixels;
};

std::ostream& operator<<(std::ostream& os, const EmCase& c) {
  return os << c.tenThousandthsOfPoint / 10000.0 << " pt at " << c.logPixelsY << " dpi";
}

class EmPixelsTest : public testing::TestWithParam<EmCase> {};

TEST_P(EmPixelsTest, RoundsToWholePointsThenScales) {
  const EmCase& c = GetParam();
  EXPECT_EQ(EmPixelsFromPoints(Points(c.tenThousandthsOfPoint), c.logPixelsY), c.emPixels);
}

INSTANTIATE_TEST_SUITE_P(WholePointsFirst, EmPixelsTest, testing::Values(
    EmCase{95000, 96, 13},
    EmCase{105000, 96, 13},
    EmCase{115000, 96, 16},
    EmCase{82500, 96, 11},
    EmCase{87500, 96, 12},
    EmCase{84999, 96, 11},
    EmCase{120000, 96, 16},
    EmCase{90000, 120, 15},
    EmCase{0, 96, 0}));

TEST(EmPixels, SizeBeyond32BitsOfPointsIsOverflow) {
  EXPECT_EQ(EmPixelsFromPoints(Points(int64_t{INT32_MAX} * 10000 + 10000), 96), std::nullopt);
}

ComPtr<IFont> MakeFont(int64_t tenThousandthsOfPoint, short weight, BOOL italic, BOOL underline, BOOL strike) {
  FONTDESC desc{sizeof(FONTDESC)};
  desc.lpstrName = const_cast<LPOLESTR>(L"Arial");
  desc.cySize = Points(tenThousandthsOfPoint);
  desc.sWeight = weight;
  desc.fItalic = italic;
  desc.fUnderline = underline;
  desc.fStrikethrough = strike;
  ComPtr<IFont> font;
  OleCreateFontIndirect(&desc, IID_IFont, reinterpret_cast<void**>(font.GetAddressOf()));
  return font;
}

int ScreenLogPixelsY() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

TEST(ReadFontMetrics, StyleBitsFollowTheFontsFlags) {
  const struct {
    short weight;
    BOOL italic, underline, strike;
    int32_t style;
  } cases[] = {
      {FW_NORMAL, FALSE, FALSE, FALSE, 0}, {FW_BOLD, FALSE, FALSE, FALSE, 1}, {FW_NORMAL, TRUE, FALSE, FALSE, 2},
      {FW_NORMAL, FALSE, TRUE, FALSE, 4},  {FW_NORMAL, FALSE, FALSE, TRUE, 8}, {FW_BOLD, TRUE, TRUE, TRUE, 15},
  };
  for (const auto& c : cases) {
    const ComPtr<IFont> font = MakeFont(100000, c.weight, c.italic, c.underline, c.strike);
    ASSERT_TRUE(font);
    EXPECT_EQ(ReadFontMetrics(font.Get()).style, c.style) << "expected style " << c.style;
  }
}

TEST(ReadFontMetrics, EmSizeUsesTheScreensVerticalDpi) {
  const ComPtr<IFont> font = MakeFont(95000, FW_NORMAL, FALSE, FALSE, FALSE);
  ASSERT_TRUE(font);
  const FontMetrics metrics = ReadFontMetrics(font.Get());
  EXPECT_FALSE(metrics.error);
  EXPECT_EQ(metrics.emPixels, MulDiv(10, ScreenLogPixelsY(), 72));
}

TEST(ReadFontMetrics, MissingFontIsRegularAtZeroPixels) {
  const FontMetrics metrics = ReadFontMetrics(nullptr);
  EXPECT_EQ(metrics.style, 0);
  EXPECT_EQ(metrics.emPixels, 0);
  EXPECT_FALSE(metrics.error);
}

}  // namespace
}  // namespace cardel
