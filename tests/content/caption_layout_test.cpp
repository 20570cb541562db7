// The caption's line layout against a measurer with round numbers: where lines break, what
// trimming keeps, where alignment puts each line, and the measured box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "content/caption_geometry.h"
#include "content/caption_layout.h"
#include "content/hotkey_prefix.h"
#include "fixed_advance_measure.h"

namespace cardel {
namespace {

using testing::FixedAdvanceMeasure;
using Lines = std::vector<std::wstring>;

constexpr int32_t kNear = 0, kCentre = 1, kFar = 2;
constexpr int32_t kCharacter = 1, kWord = 2, kEllipsisCharacter = 3, kEllipsisWord = 4, kEllipsisPath = 5;

Lines Lay(std::wstring_view text, LayoutBox box, LayoutOptions options = {}, bool countsBreakSpaces = false) {
  FixedAdvanceMeasure measure(box.width, countsBreakSpaces);
  Lines lines;
  for (const LaidLine& line : LayOutText(text, box, options, measure).lines) lines.push_back(DisplayText(text, line));
  return lines;
}

TEST(HotkeyPrefixTest, AmpersandsMarkTheNextCharacterOnlyWhenShown) {
  EXPECT_EQ(ApplyHotkeyPrefix(L"&Save", false).text, L"&Save");
  EXPECT_TRUE(ApplyHotkeyPrefix(L"&Save", false).marked.empty());
  const HotkeyText mixed = ApplyHotkeyPrefix(L"&Fish && &Chips&", true);
  EXPECT_EQ(mixed.text, L"Fish & Chips");
  EXPECT_EQ(mixed.marked, (std::vector<size_t>{0, 7}));
}

TEST(CaptionLayoutTest, BreaksWhereGdiPlusWrapsAndAtHardBreaks) {
  // Room for 70: "aaa bbb" is 65 wide. Windows counts the spaces at a break into the line, Wine
  // does not; the lines come out the same.
  for (bool countsBreakSpaces : {false, true}) {
    EXPECT_EQ(Lay(L"aaa bbb   ccc ddd e", {0, 0, 74, 0}, {}, countsBreakSpaces), (Lines{L"aaa bbb", L"ccc ddd", L"e"}));
  }
  EXPECT_EQ(Lay(L"abcdefghijk", {0, 0, 74, 0}), (Lines{L"abcdefg", L"hijk"}));  // a word wider than the line
  EXPECT_EQ(Lay(L"ab\r\n\ncd", {0, 0, 200, 0}), (Lines{L"ab", L"", L"cd"}));
  EXPECT_EQ(Lay(L"a\r  b   \x2028" L"c", {0, 0, 200, 0}), (Lines{L"a", L"  b", L"c"}));
  // No wrapping, or no width limit: only hard breaks start lines.
  EXPECT_EQ(Lay(L"aaa bbb ccc\nd", {0, 0, 30, 0}, {false}), (Lines{L"aaa bbb ccc", L"d"}));
  EXPECT_EQ(Lay(L"aaa bbb ccc\nd", {0, 0, 0, 0}), (Lines{L"aaa bbb ccc", L"d"}));
  // Surrogate pairs (10 wide each) are never split.
  EXPECT_EQ(Lay(L"\xD83D\xDE00\xD83D\xDE01\xD83D\xDE02", {0, 0, 29, 0}),
            (Lines{L"\xD83D\xDE00\xD83D\xDE01", L"\xD83D\xDE02"}));
}

TEST(CaptionLayoutTest, ShowsTheLinesThatStartInsideTheBoxAndNothingWithoutRoom) {
  EXPECT_EQ(Lay(L"a\nb\nc\nd", {0, 0, 100, 1}).size(), 1u);
  EXPECT_EQ(Lay(L"a\nb\nc\nd", {0, 0, 100, 40}).size(), 2u);
  EXPECT_EQ(Lay(L"a\nb\nc\nd", {0, 0, 100, 41}).size(), 3u);
  EXPECT_EQ(Lay(L"a\nb\nc\nd", {0, 0, 100, 0}).size(), 4u);
  EXPECT_TRUE(Lay(L"abc", {0, 0, -1, 50}).empty());
  EXPECT_TRUE(Lay(L"abc", {0, 0, 50, -0.5f}).empty());
  FixedAdvanceMeasure unusable(50);
  unusable.lineHeight = 0;
  EXPECT_TRUE(LayOutText(L"abc", {0, 0, 50, 50}, {}, unusable).lines.empty());
}

TEST(CaptionLayoutTest, TrimsALineThatDoesNotFitAsEachModeSays) {
  const auto trim = [](std::wstring_view text, float width, int32_t mode) {
    return Lay(text, {0, 0, width, 0}, {false, mode});
  };
  const std::wstring text = L"aaa bbb ccc";  // 100 wide; 89 leaves room for 85
  EXPECT_EQ(trim(text, 89, 0), Lines{text});
  EXPECT_EQ(trim(text, 89, kCharacter), Lines{L"aaa bbb c"});
  EXPECT_EQ(trim(text, 89, kWord), Lines{L"aaa bbb"});
  EXPECT_EQ(trim(text, 89, kEllipsisCharacter), Lines{L"aaa bbb\x2026"});  // "aaa bbb c…" would be 86
  EXPECT_EQ(trim(L"aaa bbbbbbbbbb", 89, kEllipsisWord), Lines{L"aaa\x2026"});
  // Not even one word fits: characters then; then only the ellipsis; then nothing.
  EXPECT_EQ(trim(L"abcdefghij", 40, kWord), Lines{L"abc"});
  EXPECT_EQ(trim(L"abcdefghij", 40, kEllipsisWord), Lines{L"abc\x2026"});
  EXPECT_EQ(trim(L"abcdefghij", 12, kEllipsisCharacter), Lines{L"\x2026"});
  EXPECT_EQ(trim(L"abcdefghij", 8, kEllipsisCharacter), Lines{L""});
  EXPECT_EQ(trim(L"\xD83D\xDE00\xD83D\xDE01\xD83D\xDE02", 24, kEllipsisCharacter), Lines{L"\xD83D\xDE00\x2026"});
  // Path ellipsis keeps the last segment, or trims like character ellipsis without one.
  EXPECT_EQ(trim(L"C:\\dir\\sub\\file", 104, kEllipsisPath), Lines{L"C:\\d\x2026\\file"});
  EXPECT_EQ(trim(L"abcdefghij", 40, kEllipsisPath), Lines{L"abc\x2026"});
}

TEST(CaptionLayoutTest, TheLastLineShownStandsForTheHiddenText) {
  const std::wstring text = L"aaa bbb ccc ddd eee";  // two lines of it fit
  const LayoutBox box{0, 0, 74, 40};
  EXPECT_EQ(Lay(text, box, {true, 0}), (Lines{L"aaa bbb", L"ccc ddd"}));
  EXPECT_EQ(Lay(text, box, {true, kCharacter}), (Lines{L"aaa bbb", L"ccc ddd"}));
  EXPECT_EQ(Lay(text, box, {true, kEllipsisCharacter}), (Lines{L"aaa bbb", L"ccc dd\x2026"}));
  EXPECT_EQ(Lay(text, box, {true, kEllipsisWord}), (Lines{L"aaa bbb", L"ccc\x2026"}));
  // A hidden paragraph is marked too, although the line itself fits.
  EXPECT_EQ(Lay(L"aaa\nbbb", {0, 0, 74, 20}, {true, kEllipsisCharacter}), Lines{L"aaa\x2026"});
}

TEST(CaptionLayoutTest, PlacesEachLineAndTheBlockByTheAlignments) {
  FixedAdvanceMeasure measure(104);
  const std::wstring text = L"aaaa bb\nc";  // lines 65 and 10 wide, each with 2 of margin at both ends
  const auto place = [&](int32_t h, int32_t v, LayoutBox box) { return LayOutText(text, box, {true, 0, h, v}, measure); };

  const TextLayout first = place(kNear, kNear, {10, 20, 104, 100});
  EXPECT_FLOAT_EQ(first.lines[1].x, 12);
  EXPECT_FLOAT_EQ(first.lines[1].top, 40);
  const TextLayout middle = place(kCentre, kCentre, {10, 20, 104, 100});
  EXPECT_FLOAT_EQ(middle.lines[0].x, 10 + (104 - 69) / 2.0f + 2);
  EXPECT_FLOAT_EQ(middle.lines[1].x, 10 + (104 - 14) / 2.0f + 2);
  EXPECT_FLOAT_EQ(middle.lines[0].top, 20 + 30);
  const TextLayout last = place(kFar, kFar, {10, 20, 104, 100});
  EXPECT_FLOAT_EQ(last.lines[0].x + last.lines[0].width, 112);
  EXPECT_FLOAT_EQ(last.lines[1].top, 100);
  // Without a height limit the box's top is the point the block is centred on; values GDI+
  // does not know align near.
  EXPECT_FLOAT_EQ(place(kNear, kCentre, {10, 20, 104, 0}).lines[0].top, 0);
  EXPECT_FLOAT_EQ(place(7, -1, {10, 20, 104, 100}).lines[0].x, 12);

  const LayoutBounds bounds = BoundsOf(first, {10, 20, 104, 100});
  EXPECT_FLOAT_EQ(bounds.x, 10);
  EXPECT_FLOAT_EQ(bounds.y, 20);
  EXPECT_FLOAT_EQ(bounds.width, 69);
  EXPECT_FLOAT_EQ(bounds.height, 40);
  const LayoutBounds none = BoundsOf(TextLayout{}, {5, 7, 50, 0});
  EXPECT_FLOAT_EQ(none.x, 5);
  EXPECT_FLOAT_EQ(none.y, 7);
  EXPECT_FLOAT_EQ(none.width, 0);
}

TEST(CaptionLayoutTest, AHugeParagraphIsMeasuredAWindowAtATime) {
  std::wstring text;
  for (int i = 0; i < 2000; ++i) text += L"word ";
  FixedAdvanceMeasure measure(200);
  const TextLayout layout = LayOutText(text, {0, 0, 200, 0}, {}, measure);
  ASSERT_EQ(layout.lines.size(), 500u);  // four words (175) fit in 196, five (220) do not
  EXPECT_EQ(DisplayText(text, layout.lines[499]), L"word word word word");
  EXPECT_LE(measure.longestQuery, 256u);
  EXPECT_EQ(measure.lineQueries, 500);
}

TEST(CaptionGeometryTest, PadsByTheScaledPaddingAndTurnsAboutTheRightCentre) {
  const LayoutBox box = PaddedBox({10, 20, 200, 100}, 10, 3, 1.5f);
  EXPECT_FLOAT_EQ(box.x, 25);
  EXPECT_FLOAT_EQ(box.y, 24.5f);
  EXPECT_FLOAT_EQ(box.width, 170);
  EXPECT_FLOAT_EQ(box.height, 91);
  const Turn screen = CaptionTurn(90, false, {30, 5, 150, 80}, SIZE{200, 100});
  EXPECT_FLOAT_EQ(screen.centreX, 100);
  EXPECT_FLOAT_EQ(screen.centreY, 50);
  const Turn shadow = CaptionTurn(45, true, {0, 0, 180, 80}, SIZE{200, 100});
  EXPECT_FLOAT_EQ(shadow.degrees, 45);
  EXPECT_FLOAT_EQ(shadow.centreX, 90);
  EXPECT_FLOAT_EQ(shadow.centreY, 40);
}

}  // namespace
}  // namespace cardel
