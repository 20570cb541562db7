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

constexpr int32_t kNear = 0, kCentre = 1, kFar = 2;
constexpr int32_t kCharacter = 1, kWord = 2, kEllipsisCharacter = 3, kEllipsisWord = 4, kEllipsisPath = 5;

std::vector<std::wstring> Shown(std::wstring_view text, const TextLayout& layout) {
  std::vector<std::wstring> lines;
  for (const LaidLine& line : layout.lines) lines.push_back(DisplayText(text, line));
  return lines;
}

std::vector<std::wstring> Lay(std::wstring_view text, LayoutBox box, LayoutOptions options = {},
                              bool countsBreakSpaces = false) {
  FixedAdvanceMeasure measure(box.width, countsBreakSpaces);
  return Shown(text, LayOutText(text, box, options, measure));
}

using Lines = std::vector<std::wstring>;

TEST(HotkeyPrefixTest, AmpersandsMarkTheNextCharacterOnlyWhenShown) {
  EXPECT_EQ(ApplyHotkeyPrefix(L"&Save", false).text, L"&Save");
  EXPECT_TRUE(ApplyHotkeyPrefix(L"&Save", false).marked.empty());

  const HotkeyText save = ApplyHotkeyPrefix(L"&Save", true);
  EXPECT_EQ(save.text, L"Save");
  EXPECT_EQ(save.marked, std::vector<size_t>{0});

  const HotkeyText mixed = ApplyHotkeyPrefix(L"Fish && &Chips&", true);
  EXPECT_EQ(mixed.text, L"Fish & Chips");
  EXPECT_EQ(mixed.marked, std::vector<size_t>{7});

  const HotkeyText two = ApplyHotkeyPrefix(L"&a&b", true);
  EXPECT_EQ(two.text, L"ab");
  EXPECT_EQ(two.marked, (std::vector<size_t>{0, 1}));
}

TEST(CaptionLayoutTest, WrapsAtWordsWhereverTheBreakSpacesAreCounted) {
  // Room for 70: "aaa bbb" is 65 wide, "aaa bbb ccc" 100.
  const LayoutBox box{0, 0, 74, 0};
  const Lines expected{L"aaa bbb", L"ccc ddd", L"e"};
  EXPECT_EQ(Lay(L"aaa bbb ccc ddd e", box, {}, false), expected);
  EXPECT_EQ(Lay(L"aaa bbb ccc ddd e", box, {}, true), expected);
  EXPECT_EQ(Lay(L"aaa bbb   ccc ddd e", box, {}, true), expected);
  EXPECT_EQ(Lay(L"aaa bbb   ccc ddd e", box, {}, false), expected);
  // A word wider than the line is broken between characters.
  EXPECT_EQ(Lay(L"abcdefghijk", box), (Lines{L"abcdefg", L"hijk"}));
}

TEST(CaptionLayoutTest, HardBreaksEndParagraphsAndKeepTheirEmptyLinesAndIndents) {
  const LayoutBox box{0, 0, 200, 0};
  EXPECT_EQ(Lay(L"ab\r\n\ncd", box), (Lines{L"ab", L"", L"cd"}));
  EXPECT_EQ(Lay(L"a\r  b\x2028" L"c", box), (Lines{L"a", L"  b", L"c"}));
  EXPECT_EQ(Lay(L"trailing   \nspaces", box), (Lines{L"trailing", L"spaces"}));
  // Without wrapping, and with no width limit, only hard breaks start lines.
  EXPECT_EQ(Lay(L"aaa bbb ccc\nd", {0, 0, 30, 0}, {false}), (Lines{L"aaa bbb ccc", L"d"}));
  EXPECT_EQ(Lay(L"aaa bbb ccc\nd", {0, 0, 0, 0}), (Lines{L"aaa bbb ccc", L"d"}));
}

TEST(CaptionLayoutTest, ShowsEveryLineThatStartsInsideTheBox) {
  const std::wstring text = L"a\nb\nc\nd";
  EXPECT_EQ(Lay(text, {0, 0, 100, 1}).size(), 1u);
  EXPECT_EQ(Lay(text, {0, 0, 100, 40}).size(), 2u);
  EXPECT_EQ(Lay(text, {0, 0, 100, 41}).size(), 3u);
  EXPECT_EQ(Lay(text, {0, 0, 100, 0}).size(), 4u);
}

TEST(CaptionLayoutTest, NothingIsLaidOutWithoutRoomTextOrAUsableFont) {
  EXPECT_TRUE(Lay(L"abc", {0, 0, -1, 50}).empty());
  EXPECT_TRUE(Lay(L"abc", {0, 0, 50, -0.5f}).empty());
  EXPECT_TRUE(Lay(L"", {0, 0, 50, 50}).empty());
  FixedAdvanceMeasure unusable(50);
  unusable.lineHeight = 0;
  EXPECT_TRUE(LayOutText(L"abc", {0, 0, 50, 50}, {}, unusable).lines.empty());
}

TEST(CaptionLayoutTest, TrimsLinesThatDoNotFitTheWayEachModeSays) {
  const std::wstring text = L"aaa bbb ccc";  // 100 wide
  const LayoutBox box{0, 0, 89, 0};           // room for 85
  auto trim = [&](int32_t mode) { return Lay(text, box, {false, mode}); };
  EXPECT_EQ(trim(0), Lines{text});
  EXPECT_EQ(trim(kCharacter), Lines{L"aaa bbb c"});
  EXPECT_EQ(trim(kWord), Lines{L"aaa bbb"});
  EXPECT_EQ(trim(kEllipsisCharacter), Lines{L"aaa bbb\x2026"});  // "aaa bbb c…" would be 86
  EXPECT_EQ(trim(kEllipsisWord), Lines{L"aaa bbb\x2026"});
  EXPECT_EQ(Lay(L"aaa bbbbbbbbbb", box, {false, kEllipsisWord}), Lines{L"aaa\x2026"});
  // Not even one word fits: characters then.
  EXPECT_EQ(Lay(L"abcdefghij", {0, 0, 40, 0}, {false, kEllipsisWord}), Lines{L"abc\x2026"});
  EXPECT_EQ(Lay(L"abcdefghij", {0, 0, 40, 0}, {false, kWord}), Lines{L"abc"});
  // Only the ellipsis fits, then nothing at all.
  EXPECT_EQ(Lay(L"abcdefghij", {0, 0, 12, 0}, {false, kEllipsisCharacter}), Lines{L"\x2026"});
  EXPECT_EQ(Lay(L"abcdefghij", {0, 0, 8, 0}, {false, kEllipsisCharacter}), Lines{L""});
}

TEST(CaptionLayoutTest, PathEllipsisKeepsTheLastSegment) {
  const std::wstring path = L"C:\\dir\\sub\\file";  // ends in 50 wide "\file"
  EXPECT_EQ(Lay(path, {0, 0, 104, 0}, {false, kEllipsisPath}), Lines{L"C:\\d\x2026\\file"});
  // No separator: like character ellipsis.
  EXPECT_EQ(Lay(L"abcdefghij", {0, 0, 40, 0}, {false, kEllipsisPath}), Lines{L"abc\x2026"});
  FixedAdvanceMeasure measure(104);
  const TextLayout layout = LayOutText(path, {0, 0, 104, 0}, {false, kEllipsisPath}, measure);
  ASSERT_EQ(layout.lines.size(), 1u);
  EXPECT_EQ(layout.lines[0].head, (TextSpan{0, 4}));
  EXPECT_EQ(layout.lines[0].tail, (TextSpan{10, 5}));
  EXPECT_FLOAT_EQ(layout.lines[0].width, 96);
}

TEST(CaptionLayoutTest, TheLastLineShownStandsForTheHiddenText) {
  // Two lines fit in height; the rest of the paragraph is hidden.
  const LayoutBox box{0, 0, 74, 40};
  const std::wstring text = L"aaa bbb ccc ddd eee";
  EXPECT_EQ(Lay(text, box), (Lines{L"aaa bbb", L"ccc ddd"}));
  EXPECT_EQ(Lay(text, box, {true, kCharacter}), (Lines{L"aaa bbb", L"ccc ddd"}));
  EXPECT_EQ(Lay(text, box, {true, kEllipsisCharacter}), (Lines{L"aaa bbb", L"ccc dd\x2026"}));
  EXPECT_EQ(Lay(text, box, {true, kEllipsisWord}), (Lines{L"aaa bbb", L"ccc\x2026"}));
  // A hidden next paragraph is marked too, even though the line itself fits.
  EXPECT_EQ(Lay(L"aaa\nbbb", {0, 0, 74, 20}, {true, kEllipsisCharacter}), Lines{L"aaa\x2026"});
  EXPECT_EQ(Lay(L"aaa\nbbb", {0, 0, 74, 20}, {true, kCharacter}), Lines{L"aaa"});
}

TEST(CaptionLayoutTest, SurrogatePairsStayWhole) {
  const std::wstring pairs = L"\xD83D\xDE00\xD83D\xDE01\xD83D\xDE02";  // three characters, 10 each
  EXPECT_EQ(Lay(pairs, {0, 0, 29, 0}), (Lines{L"\xD83D\xDE00\xD83D\xDE01", L"\xD83D\xDE02"}));
  EXPECT_EQ(Lay(pairs, {0, 0, 24, 0}, {false, kEllipsisCharacter}), Lines{L"\xD83D\xDE00\x2026"});
}

TEST(CaptionLayoutTest, AlignsEachLineAndTheBlockInTheBox) {
  FixedAdvanceMeasure measure(104);
  const std::wstring text = L"aaaa bb\nc";  // lines 65 and 10 wide
  auto place = [&](int32_t h, int32_t v, LayoutBox box) { return LayOutText(text, box, {true, 0, h, v}, measure); };

  const TextLayout nearest = place(kNear, kNear, {10, 20, 104, 100});
  ASSERT_EQ(nearest.lines.size(), 2u);
  EXPECT_FLOAT_EQ(nearest.lines[0].x, 12);
  EXPECT_FLOAT_EQ(nearest.lines[1].x, 12);
  EXPECT_FLOAT_EQ(nearest.lines[0].top, 20);
  EXPECT_FLOAT_EQ(nearest.lines[1].top, 40);

  const TextLayout centre = place(kCentre, kCentre, {10, 20, 104, 100});
  EXPECT_FLOAT_EQ(centre.lines[0].x, 10 + (104 - 69) / 2.0f + 2);
  EXPECT_FLOAT_EQ(centre.lines[1].x, 10 + (104 - 14) / 2.0f + 2);
  EXPECT_FLOAT_EQ(centre.lines[0].top, 20 + 30);

  const TextLayout farthest = place(kFar, kFar, {10, 20, 104, 100});
  EXPECT_FLOAT_EQ(farthest.lines[0].x + farthest.lines[0].width, 10 + 104 - 2);
  EXPECT_FLOAT_EQ(farthest.lines[1].x + farthest.lines[1].width, 10 + 104 - 2);
  EXPECT_FLOAT_EQ(farthest.lines[1].top + 20, 120);

  // No height limit: the box's top is the point the block is centred on.
  EXPECT_FLOAT_EQ(place(kNear, kCentre, {10, 20, 104, 0}).lines[0].top, 0);
  // Values GDI+ does not know align near.
  EXPECT_FLOAT_EQ(place(7, -1, {10, 20, 104, 100}).lines[0].x, 12);
}

TEST(CaptionLayoutTest, BoundsSpanTheLinesWithTheirMargins) {
  FixedAdvanceMeasure measure(0);
  const LayoutBox box{5, 7, 0, 0};
  const TextLayout layout = LayOutText(L"aaaa bb\nc", box, {}, measure);
  const LayoutBounds bounds = BoundsOf(layout, box);
  EXPECT_FLOAT_EQ(bounds.x, 5);
  EXPECT_FLOAT_EQ(bounds.y, 7);
  EXPECT_FLOAT_EQ(bounds.width, 69);
  EXPECT_FLOAT_EQ(bounds.height, 40);

  const LayoutBounds empty = BoundsOf(LayOutText(L"", box, {}, measure), box);
  EXPECT_FLOAT_EQ(empty.x, 5);
  EXPECT_FLOAT_EQ(empty.width, 0);
  EXPECT_FLOAT_EQ(empty.height, 0);
}

TEST(CaptionLayoutTest, AHugeParagraphIsMeasuredAWindowAtATime) {
  std::wstring text;
  for (int i = 0; i < 2000; ++i) text += L"word ";
  FixedAdvanceMeasure measure(200);
  const TextLayout layout = LayOutText(text, {0, 0, 200, 0}, {}, measure);
  ASSERT_EQ(layout.lines.size(), 500u);  // four 45-wide words and their spaces fit in 196
  EXPECT_EQ(DisplayText(text, layout.lines[0]), L"word word word word");
  EXPECT_EQ(DisplayText(text, layout.lines[499]), L"word word word word");
  EXPECT_LE(measure.longestQuery, 256u);
  EXPECT_EQ(measure.lineQueries, 500);
}

TEST(CaptionGeometryTest, PaddingGrowsWithTheDpiWithoutRounding) {
  const LayoutBox box = PaddedBox({10, 20, 200, 100}, 10, 3, 1.5f);
  EXPECT_FLOAT_EQ(box.x, 25);
  EXPECT_FLOAT_EQ(box.y, 24.5f);
  EXPECT_FLOAT_EQ(box.width, 170);
  EXPECT_FLOAT_EQ(box.height, 91);
  EXPECT_FLOAT_EQ(PaddedBox({0, 0, 200, 100}, 4, 0, 1.25f).width, 190);
}

TEST(CaptionGeometryTest, TurnsAboutTheControlOnScreenAndAboutTheBitmapInTheShadow) {
  const Turn screen = CaptionTurn(90, false, {30, 5, 150, 80}, SIZE{200, 100});
  EXPECT_FLOAT_EQ(screen.degrees, 90);
  EXPECT_FLOAT_EQ(screen.centreX, 100);
  EXPECT_FLOAT_EQ(screen.centreY, 50);
  const Turn shadow = CaptionTurn(45, true, {0, 0, 180, 80}, SIZE{200, 100});
  EXPECT_FLOAT_EQ(shadow.centreX, 90);
  EXPECT_FLOAT_EQ(shadow.centreY, 40);
}

}  // namespace
}  // namespace cardel
