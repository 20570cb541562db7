#include "render/font_metrics.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include "common/win_handles.h"

namespace cardel {
namespace {

CY Points(int64_t tenThousandths) {
  CY size{};
  size.int64 = tenThousandths;
  return size;
}

// The size is rounded to whole points (half to even) before it is scaled.
TEST(EmPixels, RoundsToWholePointsThenScales) {
  const struct {
    int64_t tenThousandthsOfPoint;
    int logPixelsY;
    int32_t emPixels;
  } cases[] = {{95000, 96, 13}, {105000, 96, 13}, {115000, 96, 16}, {82500, 96, 11},
               {87500, 96, 12}, {84999, 96, 11},  {90000, 120, 15}, {0, 96, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(EmPixelsFromPoints(Points(c.tenThousandthsOfPoint), c.logPixelsY), c.emPixels) << c.tenThousandthsOfPoint;
  EXPECT_EQ(EmPixelsFromPoints(Points(int64_t{INT32_MAX} * 10000 + 10000), 96), std::nullopt);
}

TEST(ReadFontMetrics, StyleBitsFollowTheFlagsAndTheEmSizeTheScreensVerticalDpi) {
  const struct {
    short weight;
    BOOL italic, underline, strike;
    int32_t style;
  } cases[] = {{FW_NORMAL, FALSE, FALSE, FALSE, 0}, {FW_BOLD, FALSE, FALSE, FALSE, 1},
               {FW_NORMAL, TRUE, FALSE, FALSE, 2},  {FW_NORMAL, FALSE, TRUE, FALSE, 4},
               {FW_NORMAL, FALSE, FALSE, TRUE, 8},  {FW_BOLD, TRUE, TRUE, TRUE, 15}};
  const int logPixelsY = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY);
  for (const auto& c : cases) {
    FONTDESC desc{sizeof(FONTDESC), const_cast<LPOLESTR>(L"Arial"), Points(95000), c.weight, DEFAULT_CHARSET,
                  c.italic, c.underline, c.strike};
    Microsoft::WRL::ComPtr<IFont> font;
    ASSERT_HRESULT_SUCCEEDED(OleCreateFontIndirect(&desc, IID_PPV_ARGS(&font)));
    const FontMetrics metrics = ReadFontMetrics(font.Get());
    EXPECT_EQ(metrics.style, c.style);
    EXPECT_EQ(metrics.emPixels, MulDiv(10, logPixelsY, 72));
    EXPECT_FALSE(metrics.error);
  }
  const FontMetrics none = ReadFontMetrics(nullptr);
  EXPECT_EQ(std::tuple(none.style, none.emPixels, none.error.has_value()), std::tuple(0, 0, false));
}

}  // namespace
}  // namespace cardel
