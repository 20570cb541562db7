// HIMETRIC and twips against pixels, and the named system colours against the platform's.
#include "common/ole_units.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include "common/system_colours.h"

namespace cardel {
namespace {

TEST(OleUnits, ConvertAtTheDeviceDpiRoundingToNearest) {
  const struct {
    int dpi, pixels, himetric, twips;
  } cases[] = {
      {96, 96, 2540, 1440}, {96, 1, 26, 15},   {96, 100, 2646, 1500}, {120, 120, 2540, 1440},
      {120, 1, 21, 12},     {144, 3, 53, 30},  {96, 0, 0, 0},         {96, -96, -2540, -1440},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pixels << " px at " << c.dpi << " DPI");
    EXPECT_EQ(PixelsToHimetric(c.pixels, c.dpi), c.himetric);
    EXPECT_EQ(PixelsToTwips(c.pixels, c.dpi), c.twips);
    EXPECT_EQ(HimetricToPixels(c.himetric, c.dpi), c.pixels);
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels);
  }
}

TEST(OleUnits, ScreenConversionsUseTheScreensDpiAcrossAndDown) {
  const SIZE dpi = ScreenPixelsPerInch();
  EXPECT_EQ(ScreenPixelsToHimetric(SIZE{dpi.cx, 2 * dpi.cy}).cx, kHimetricPerInch);
  EXPECT_EQ(ScreenPixelsToHimetric(SIZE{dpi.cx, 2 * dpi.cy}).cy, 2 * kHimetricPerInch);
  EXPECT_EQ(HimetricToScreenPixels(SIZEL{kHimetricPerInch, kHimetricPerInch / 2}).cx, dpi.cx);
  EXPECT_EQ(HimetricToScreenPixels(SIZEL{kHimetricPerInch, kHimetricPerInch / 2}).cy, (dpi.cy + 1) / 2);
}

TEST(SystemColours, TranslateToTheColoursOfTheirIndices) {
  const struct {
    OLE_COLOR named;
    int index;
  } cases[] = {{kActiveBorderColour, COLOR_ACTIVEBORDER}, {kHighlightColour, COLOR_HIGHLIGHT},
               {kHighlightTextColour, COLOR_HIGHLIGHTTEXT}, {kButtonFaceColour, COLOR_BTNFACE},
               {kButtonTextColour, COLOR_BTNTEXT},         {kButtonLightColour, COLOR_3DLIGHT}};
  for (const auto& c : cases) {
    COLORREF rgb = 0;
    ASSERT_EQ(OleTranslateColor(c.named, nullptr, &rgb), S_OK) << c.index;
    EXPECT_EQ(rgb, GetSysColor(c.index)) << c.index;
  }
}

}  // namespace
}  // namespace cardel
