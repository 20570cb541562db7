// The pure rules under the interaction code: the hit table, the rectangle hover tracking follows,
// the Button and Shift values, the standard pointers and the file list of a drop.
#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "input/cursor_shapes.h"
#include "input/drop_files.h"
#include "input/hit_decision.h"
#include "input/hover_geometry.h"
#include "input/input_arguments.h"
#include "input/poll_pace.h"

namespace cardel::input {
namespace {

struct HitRow {
  bool enabled;
  bool mouseToParent;
  bool runMode;
  bool writesHit;
  bool hover;
};

constexpr HitRow kHitTable[] = {
    {false, false, false, true, false}, {false, true, false, true, false}, {false, false, true, false, false},
    {false, true, true, false, false},  {true, false, false, true, false}, {true, false, true, true, true},
    {true, true, false, true, false},   {true, true, true, false, true},
};

TEST(HitDecisionTest, FollowsTheTableForEveryProposal) {
  for (const HitRow& row : kHitTable) {
    for (DWORD proposal : {HITRESULT_OUTSIDE, HITRESULT_TRANSPARENT, HITRESULT_CLOSE, HITRESULT_HIT}) {
      const HitDecision d = DecideHit(row.enabled, row.mouseToParent, row.runMode, proposal);
      SCOPED_TRACE(testing::Message() << row.enabled << row.mouseToParent << row.runMode << " proposal " << proposal);
      EXPECT_EQ(d.result, row.writesHit ? static_cast<DWORD>(HITRESULT_HIT) : proposal);
      EXPECT_EQ(d.hoverUpdate, row.hover);
    }
  }
}

TEST(HoverGeometryTest, CornerRoundsHalvesToEven) {
  EXPECT_EQ(CornerFromPointer({100, 50}, 10.5, 0.5)->x, 90);
  EXPECT_EQ(CornerFromPointer({100, 50}, 11.5, 0.5)->x, 88);
  EXPECT_EQ(CornerFromPointer({100, 50}, 10.5, 0.5)->y, 50);
  EXPECT_FALSE(CornerFromPointer({0, 0}, -3e9, 0));
}

TEST(HoverGeometryTest, RectangleFollowsTheControlSinceEntering) {
  const EnterOrigin origin{100, 60, 40, 20};
  const RECT still = *TrackedRect(origin, {40, 20}, {120, 80});
  EXPECT_EQ(still.left, 100);
  EXPECT_EQ(still.top, 60);
  EXPECT_EQ(still.right, 220);
  EXPECT_EQ(still.bottom, 140);
  const RECT moved = *TrackedRect(origin, {70, 10}, {120, 80});
  EXPECT_EQ(moved.left, 130);
  EXPECT_EQ(moved.top, 50);
  EXPECT_EQ(moved.right, 250);
}

TEST(HoverGeometryTest, RectangleOutOf32BitsIsNoRectangle) {
  const LONG big = std::numeric_limits<LONG>::max();
  EXPECT_FALSE(TrackedRect({big, 0, 0, 0}, {1, 0}, {10, 10}));
  EXPECT_FALSE(TrackedRect({big - 5, 0, 0, 0}, {0, 0}, {10, 10}));
  EXPECT_FALSE(TrackedRect({0, 0, std::numeric_limits<LONG>::min(), 0}, {1, 0}, {10, 10}));
}

TEST(HoverGeometryTest, InsideIncludesLeftAndTopOnly) {
  const RECT r{10, 20, 30, 40};
  EXPECT_TRUE(Inside(r, {10, 20}));
  EXPECT_TRUE(Inside(r, {29, 39}));
  EXPECT_FALSE(Inside(r, {30, 25}));
  EXPECT_FALSE(Inside(r, {15, 40}));
  EXPECT_FALSE(Inside(r, {9, 25}));
}

TEST(PollPaceTest, RestingPointerSlowsThePollingAndInputSpeedsItUp) {
  PollPace pace;
  const POINT pointer{5, 5}, position{40, 40};
  for (int tick = 0; tick <= PollPace::kStillTicksBeforeResting - 1; ++tick)
    EXPECT_EQ(pace.AfterTick(pointer, position), PollPace::kMoving) << tick;
  EXPECT_EQ(pace.AfterTick(pointer, position), PollPace::kResting);
  EXPECT_EQ(pace.AfterTick(pointer, position), PollPace::kResting);
  EXPECT_EQ(pace.AfterTick({6, 5}, position), PollPace::kMoving);
  for (int tick = 0; tick < PollPace::kStillTicksBeforeResting; ++tick) pace.AfterTick({6, 5}, position);
  EXPECT_EQ(pace.AfterTick({6, 5}, {41, 40}), PollPace::kMoving);
  for (int tick = 0; tick < PollPace::kStillTicksBeforeResting; ++tick) pace.AfterTick({6, 5}, {41, 40});
  EXPECT_EQ(pace.AfterInput(), PollPace::kMoving);
  EXPECT_EQ(pace.AfterTick({6, 5}, {41, 40}), PollPace::kMoving);
}

TEST(InputArgumentsTest, ButtonsAndShiftUseTheEventValues) {
  EXPECT_EQ(ButtonOfMessage(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(ButtonOfMessage(WM_RBUTTONUP), 2);
  EXPECT_EQ(ButtonOfMessage(WM_MBUTTONDBLCLK), 4);
  EXPECT_EQ(ButtonOfMessage(WM_MOUSEMOVE), 0);
  EXPECT_EQ(ButtonsHeld(MK_LBUTTON | MK_MBUTTON | MK_SHIFT), 5);
  EXPECT_EQ(ButtonsHeld(MK_RBUTTON), 2);
  EXPECT_EQ(MouseShift(MK_SHIFT | MK_CONTROL | MK_LBUTTON, false), 3);
  EXPECT_EQ(MouseShift(0, true), 4);
  EXPECT_EQ(DragShift(MK_ALT | MK_CONTROL), 6);
  EXPECT_EQ(KeyShift(true, false, true), 5);
}

TEST(CursorShapesTest, StandardPointersAreSystemCursors) {
  EXPECT_EQ(StandardCursorResource(0), nullptr);
  EXPECT_EQ(StandardCursorResource(2), IDC_CROSS);
  EXPECT_EQ(StandardCursorResource(3), IDC_IBEAM);
  EXPECT_EQ(StandardCursorResource(11), IDC_WAIT);
  EXPECT_EQ(StandardCursorResource(15), IDC_SIZEALL);
  EXPECT_EQ(StandardCursorResource(16), nullptr);
  EXPECT_EQ(StandardCursorResource(99), nullptr);
  EXPECT_EQ(StandardCursorResource(-1), nullptr);
  for (int16_t pointer = 1; pointer <= 15; ++pointer)
    EXPECT_NE(CursorForPointer(pointer, nullptr), nullptr) << pointer;
  EXPECT_EQ(CursorForPointer(kCustomPointer, nullptr), nullptr);
}

template <class Char>
std::vector<uint8_t> DropBlock(const std::basic_string<Char>& names, bool wide, DWORD offset = sizeof(DROPFILES)) {
  std::vector<uint8_t> block(offset + names.size() * sizeof(Char));
  DROPFILES header{};
  header.pFiles = offset;
  header.fWide = wide;
  std::memcpy(block.data(), &header, sizeof(header));
  std::memcpy(block.data() + offset, names.data(), names.size() * sizeof(Char));
  return block;
}

TEST(DropFilesTest, ReadsWideAndAnsiLists) {
  using namespace std::string_literals;
  EXPECT_EQ(ParseDropFiles(DropBlock(L"C:\\a.txt\0D:\\b c.png\0\0"s, true)),
            (std::vector<std::wstring>{L"C:\\a.txt", L"D:\\b c.png"}));
  EXPECT_EQ(ParseDropFiles(DropBlock("C:\\x.bmp\0\0"s, false)), (std::vector<std::wstring>{L"C:\\x.bmp"}));
}

TEST(DropFilesTest, MalformedBlocksYieldOnlyWholeNames) {
  using namespace std::string_literals;
  EXPECT_TRUE(ParseDropFiles({}).empty());
  EXPECT_TRUE(ParseDropFiles(DropBlock(L"C:\\a\0\0"s, true, 4)).empty());
  auto cut = DropBlock(L"C:\\a\0C:\\long"s, true);
  EXPECT_EQ(ParseDropFiles(cut), (std::vector<std::wstring>{L"C:\\a"}));
  auto beyond = DropBlock(L"C:\\a\0\0"s, true);
  DROPFILES header{};
  header.pFiles = static_cast<DWORD>(beyond.size() + 10);
  header.fWide = TRUE;
  std::memcpy(beyond.data(), &header, sizeof(header));
  EXPECT_TRUE(ParseDropFiles(beyond).empty());
}

}  // namespace
}  // namespace cardel::input
