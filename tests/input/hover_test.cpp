// Hover tracking with the real pointer over a real window: the event sequences, the polling timer,
// covering windows and a control that moves under the pointer.
#include <gtest/gtest.h>

#include "common/win_handles.h"
#include "input/poll_pace.h"
#include "input_fixture.h"

namespace cardel::host {
namespace {

using ids = std::vector<DISPID>;
constexpr DISPID kEnter = event_id::MouseEnter;
constexpr DISPID kLeave = event_id::MouseLeave;
constexpr DISPID kOver = event_id::MouseOver;
constexpr DISPID kOut = event_id::MouseOut;
using input::PollPace;

class HoverTest : public InputFixture {
 protected:
  void Enter() {
    PointerTo(kInside);
    ASSERT_TRUE(PumpUntilHoverEvents(2));
    ASSERT_EQ(Hover(), (ids{kEnter, kOver}));
    events_.Clear();
  }
  // A window of another kind over the control's middle, as a popup or another program would be.
  UniqueWindow Cover() {
    const POINT corner = ToScreen({kInside.x - 20, kInside.y - 20});
    // SS_NOTIFY: a plain static control lets hit tests through to what lies beneath it.
    UniqueWindow cover(CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | SS_NOTIFY,
                                       corner.x, corner.y, 40, 40, nullptr, nullptr, nullptr, nullptr));
    // Shown without activating: Wine hands an activated window to the window manager, and then waits
    // for one on every destroy.
    if (cover) ShowWindow(cover.get(), SW_SHOWNOACTIVATE);
    return cover;
  }
};

TEST_F(HoverTest, HitQuerySeesTheEnterFirst) {
  PointerTo(kInside);
  ASSERT_TRUE(PumpUntilHoverEvents(2));
  ASSERT_TRUE(PumpTicks());
  EXPECT_EQ(Hover(), (ids{kEnter, kOver}));
  EXPECT_TRUE(IsMouseEnter());
  EXPECT_TRUE(IsMouseOver());
}

TEST_F(HoverTest, MouseMoveSeeingTheEnterFirstRaisesMouseOverTwice) {
  PointerTo(kInside);
  ASSERT_EQ(Deliver(WM_MOUSEMOVE, kInside), S_OK);
  EXPECT_EQ(Only({event_id::MouseMove, kEnter, kLeave, kOver, kOut}),
            (ids{event_id::MouseMove, kEnter, kOver, kOver}));
  EXPECT_TRUE(IsMouseOver());
  events_.Clear();
  ASSERT_TRUE(PumpUntilPointerArrived(kInside));
  ASSERT_TRUE(PumpTicks());
  EXPECT_TRUE(Hover().empty());
}

TEST_F(HoverTest, PointerRestingInsideKeepsPollingQuietly) {
  Enter();
  // Each tick asks the host again, which routes a mouse move to the control; past the still ticks
  // after which the pace slows, the control is still polling.
  constexpr size_t kMoves = PollPace::kStillTicksBeforeResting + 3;
  EXPECT_TRUE(PumpUntil([&] { return All(event_id::MouseMove).size() >= kMoves; }, "mouse moves from polling"));
  EXPECT_TRUE(Hover().empty());
  EXPECT_TRUE(IsMouseEnter());
}

TEST_F(HoverTest, CoveringWindowRaisesMouseOutAndUncoveringMouseOver) {
  Enter();
  UniqueWindow cover = Cover();
  ASSERT_TRUE(cover);
  ASSERT_TRUE(PumpUntilHoverEvents(1));
  ASSERT_TRUE(PumpTicks());
  EXPECT_EQ(Hover(), (ids{kOut}));
  EXPECT_FALSE(IsMouseOver());
  EXPECT_TRUE(IsMouseEnter());
  events_.Clear();
  cover.reset();
  ASSERT_TRUE(PumpUntilHoverEvents(1));
  ASSERT_TRUE(PumpTicks());
  EXPECT_EQ(Hover(), (ids{kOver}));
  EXPECT_TRUE(IsMouseOver());
}

TEST_F(HoverTest, LeavingRaisesMouseOutThenMouseLeaveInOneTick) {
  Enter();
  PointerTo(kBeside);
  ASSERT_TRUE(PumpUntilHoverEvents(2));
  ASSERT_TRUE(PumpUntilPointerArrived(kBeside));
  ASSERT_TRUE(PumpPollingPeriods());
  EXPECT_EQ(Hover(), (ids{kOut, kLeave}));
  // Nothing comes between the two: both come from the same tick.
  const auto& all = events_.Events();
  for (size_t i = 0; i + 1 < all.size(); ++i) {
    if (all[i].id == kOut) {
      EXPECT_EQ(all[i + 1].id, kLeave);
    }
  }
  EXPECT_FALSE(IsMouseEnter());
  EXPECT_FALSE(IsMouseOver());
}

TEST_F(HoverTest, LeavingWhileCoveredRaisesOnlyMouseLeave) {
  Enter();
  UniqueWindow cover = Cover();
  ASSERT_TRUE(PumpUntilHoverEvents(1));
  events_.Clear();
  PointerTo(kBeside);
  ASSERT_TRUE(PumpUntilHoverEvents(1));
  ASSERT_TRUE(PumpUntilPointerArrived(kBeside));
  ASSERT_TRUE(PumpPollingPeriods());
  EXPECT_EQ(Hover(), (ids{kLeave}));
}

TEST_F(HoverTest, MovingTheControlUnderThePointerRaisesNoFalseLeave) {
  Enter();
  // Control and pointer travel together, 100 pixels right: the pointer ends where the control
  // was not when the pointer entered.
  const RECT moved{kRect.left + 100, kRect.top, kRect.right + 100, kRect.bottom};
  ASSERT_HRESULT_SUCCEEDED(control_->Move(moved));
  PointerTo({kInside.x + 100, kInside.y});
  ASSERT_TRUE(PumpUntilPointerArrived({kInside.x + 100, kInside.y}));
  ASSERT_TRUE(PumpTicks());
  EXPECT_TRUE(Hover().empty());
  EXPECT_TRUE(IsMouseEnter());
  PointerTo(kInside);
  ASSERT_TRUE(PumpUntilHoverEvents(2));
  EXPECT_EQ(Hover(), (ids{kOut, kLeave}));
}

TEST_F(HoverTest, DesignModeRaisesNothing) {
  control_->Ambient().SetUserMode(false);
  PointerTo(kInside);
  ASSERT_TRUE(PumpUntilPointerArrived(kInside));
  ASSERT_EQ(Deliver(WM_MOUSEMOVE, kInside), S_OK);
  ASSERT_TRUE(PumpPollingPeriods());
  PointerTo(kBeside);
  ASSERT_TRUE(PumpUntilPointerArrived(kBeside));
  ASSERT_TRUE(PumpPollingPeriods());
  EXPECT_TRUE(Hover().empty());
  EXPECT_FALSE(IsMouseEnter());
  EXPECT_FALSE(IsMouseOver());
}

TEST_F(HoverTest, DisablingWhileInsideStopsHoverEvents) {
  Enter();
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_Enabled(VARIANT_FALSE));
  ASSERT_TRUE(PumpUntilHoverEvents(1));
  EXPECT_EQ(Hover(), (ids{kOut}));
  events_.Clear();
  ASSERT_TRUE(PumpTicks());
  EXPECT_TRUE(Hover().empty());
  PointerTo(kBeside);
  ASSERT_TRUE(PumpUntilHoverEvents(1));
  ASSERT_TRUE(PumpUntilPointerArrived(kBeside));
  EXPECT_EQ(Hover(), (ids{kLeave}));
  events_.Clear();
  PointerTo(kInside);
  ASSERT_TRUE(PumpUntilPointerArrived(kInside));
  ASSERT_TRUE(PumpPollingPeriods());
  EXPECT_TRUE(Hover().empty());
}

TEST_F(HoverTest, MouseToParentStillRaisesEnterAndOverWithoutInput) {
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_MouseToParent(VARIANT_TRUE));
  PointerTo(kInside);
  ASSERT_TRUE(PumpUntilHoverEvents(2));
  ASSERT_TRUE(PumpTicks());
  EXPECT_EQ(Hover(), (ids{kEnter, kOver}));
  EXPECT_TRUE(All(event_id::MouseMove).empty());
  PointerTo(kBeside);
  ASSERT_TRUE(PumpUntilHoverEvents(4));
  ASSERT_TRUE(PumpUntilPointerArrived(kBeside));
  EXPECT_EQ(Hover(), (ids{kEnter, kOver, kOut, kLeave}));
}

TEST_F(HoverTest, ClientTickWhileOutsideRaisesMouseLeave) {
  ASSERT_EQ(cardel_->tmrMOUSEOVER_Timer(), S_OK);
  EXPECT_EQ(Hover(), (ids{kLeave}));
}

TEST_F(HoverTest, TimerStopsAfterLeaving) {
  Enter();
  PointerTo(kBeside);
  ASSERT_TRUE(PumpUntilHoverEvents(2));
  ASSERT_TRUE(PumpUntilPointerArrived(kBeside));
  ASSERT_EQ(Hover(), (ids{kOut, kLeave}));
  events_.Clear();
  // The control comes to the resting pointer without the pointer moving: only a running timer
  // would notice.
  ASSERT_HRESULT_SUCCEEDED(control_->Move(RECT{kBeside.x - 20, kBeside.y - 20, kBeside.x + 20, kBeside.y + 20}));
  const uint64_t ticks = box_.WindowTimerTicks();
  ASSERT_TRUE(PumpPollingPeriods());
  EXPECT_EQ(box_.WindowTimerTicks(), ticks) << "a window timer still ticks";
  EXPECT_TRUE(Only({kEnter, kLeave, kOver, kOut, event_id::MouseMove}).empty());
  EXPECT_FALSE(IsMouseEnter());
}

TEST_F(HoverTest, ButtonChangedByTheMouseMoveHandlerIsSeenByTheHoverUpdate) {
  events_.SetHandler([](DISPID id, DISPPARAMS* params) {
    if (id == event_id::MouseMove) *V_I2REF(&EventArg(*params, 0)) = 1;
  });
  PointerTo(kInside);
  ASSERT_EQ(Deliver(WM_MOUSEMOVE, kInside), S_OK);
  EXPECT_TRUE(Hover().empty());
  EXPECT_FALSE(IsMouseEnter());
}

TEST_F(HoverTest, MouseMoveWithAButtonHeldDoesNotEnter) {
  PointerTo(kInside);
  ASSERT_EQ(Deliver(WM_MOUSEMOVE, kInside, MK_LBUTTON), S_OK);
  EXPECT_EQ(Only({event_id::MouseMove, kEnter, kOver}), (ids{event_id::MouseMove}));
}

class WindowedHoverTest : public HoverTest {
 protected:
  WindowedHoverTest() { options_.windowless = false; }
};

TEST_F(WindowedHoverTest, OwnWindowTracksTheSameWay) {
  ASSERT_TRUE(control_->OwnWindow());
  PointerTo(kInside);
  ASSERT_TRUE(PumpUntilHoverEvents(2));
  EXPECT_EQ(Hover(), (ids{kEnter, kOver}));
  ASSERT_TRUE(PumpTicks());
  EXPECT_EQ(Hover(), (ids{kEnter, kOver}));
  PointerTo(kBeside);
  ASSERT_TRUE(PumpUntilHoverEvents(4));
  ASSERT_TRUE(PumpUntilPointerArrived(kBeside));
  EXPECT_EQ(Hover(), (ids{kEnter, kOver, kOut, kLeave}));
}

}  // namespace
}  // namespace cardel::host
