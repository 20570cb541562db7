// Mouse and keyboard input the container routes to the control, re-raised as the control's events
// with Button, Shift, X and Y; focus through the site; nothing for a disabled control.
#include <gtest/gtest.h>

#include <array>

#include "input_fixture.h"

namespace cardel::host {
namespace {

using ids = std::vector<DISPID>;
constexpr DISPID kDown = event_id::MouseDown;
constexpr DISPID kUp = event_id::MouseUp;
constexpr DISPID kMove = event_id::MouseMove;
constexpr DISPID kClick = event_id::Click;
constexpr DISPID kDouble = event_id::DblClick;

struct MouseArgs {
  long button, shift;
  double x, y;
};

MouseArgs ArgsOf(const EventRecord& record) {
  return {record.args.at(0).ToLong(), record.args.at(1).ToLong(), record.args.at(2).ToDouble(),
          record.args.at(3).ToDouble()};
}

// Holds keys down in the thread's keyboard state for as long as it lives.
class HeldKeys {
 public:
  explicit HeldKeys(std::initializer_list<int> keys) {
    GetKeyboardState(saved_.data());
    std::array<BYTE, 256> state = saved_;
    for (int key : keys) state[key] = 0x80;
    SetKeyboardState(state.data());
  }
  ~HeldKeys() { SetKeyboardState(saved_.data()); }

 private:
  std::array<BYTE, 256> saved_{};
};

class ForwardingTest : public InputFixture {
 protected:
  ids Mouse() const { return Only({kDown, kUp, kMove, kClick, kDouble}); }
  ids Keys() const { return Only({event_id::KeyDown, event_id::KeyPress, event_id::KeyUp}); }
  void Key(UINT msg, WPARAM code) { SendMessageW(box_.Window(), msg, code, 0); }
  static constexpr POINT kAt{kRect.left + 17, kRect.top + 9};
};

TEST_F(ForwardingTest, ClickIsDownUpClickWithPixelsRelativeToTheControl) {
  box_.SendMouse(WM_LBUTTONDOWN, kAt, MK_LBUTTON);
  box_.SendMouse(WM_LBUTTONUP, kAt);
  ASSERT_EQ(Mouse(), (ids{kDown, kUp, kClick}));
  const MouseArgs down = ArgsOf(*All(kDown)[0]);
  EXPECT_EQ(down.button, 1);
  EXPECT_EQ(down.shift, 0);
  EXPECT_EQ(down.x, 17.0);
  EXPECT_EQ(down.y, 9.0);
  EXPECT_EQ(All(kDown)[0]->args.at(2).vt(), VT_R4);
  const MouseArgs up = ArgsOf(*All(kUp)[0]);
  EXPECT_EQ(up.button, 1);
  EXPECT_EQ(up.x, 17.0);
  EXPECT_TRUE(All(kClick)[0]->args.empty());
}

TEST_F(ForwardingTest, DoubleClickIsForwardedOneToOne) {
  box_.SendMouse(WM_LBUTTONDOWN, kAt, MK_LBUTTON);
  box_.SendMouse(WM_LBUTTONUP, kAt);
  box_.SendMouse(WM_LBUTTONDBLCLK, kAt, MK_LBUTTON);
  box_.SendMouse(WM_LBUTTONUP, kAt);
  EXPECT_EQ(Mouse(), (ids{kDown, kUp, kClick, kDouble, kUp}));
}

TEST_F(ForwardingTest, RightAndMiddleButtonsCarryButtonAndShift) {
  box_.SendMouse(WM_RBUTTONDOWN, kAt, MK_RBUTTON | MK_SHIFT | MK_CONTROL);
  box_.SendMouse(WM_RBUTTONUP, kAt, MK_SHIFT);
  box_.SendMouse(WM_MBUTTONDOWN, kAt, MK_MBUTTON);
  box_.SendMouse(WM_MBUTTONUP, kAt);
  ASSERT_EQ(Mouse(), (ids{kDown, kUp, kDown, kUp}));
  EXPECT_EQ(ArgsOf(*All(kDown)[0]).button, 2);
  EXPECT_EQ(ArgsOf(*All(kDown)[0]).shift, 3);
  EXPECT_EQ(ArgsOf(*All(kUp)[0]).shift, 1);
  EXPECT_EQ(ArgsOf(*All(kDown)[1]).button, 4);
  EXPECT_EQ(ArgsOf(*All(kUp)[1]).button, 4);
}

TEST_F(ForwardingTest, AltReachesShiftFromTheKeyboardState) {
  HeldKeys alt{VK_MENU};
  box_.SendMouse(WM_LBUTTONDOWN, kAt, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(ArgsOf(*All(kDown).at(0)).shift, 5);
}

TEST_F(ForwardingTest, MoveCarriesEveryHeldButton) {
  box_.SendMouse(WM_MOUSEMOVE, {kRect.left + 3, kRect.top + 70}, MK_LBUTTON | MK_MBUTTON | MK_CONTROL);
  ASSERT_EQ(Mouse(), (ids{kMove}));
  const MouseArgs move = ArgsOf(*All(kMove)[0]);
  EXPECT_EQ(move.button, 5);
  EXPECT_EQ(move.shift, 2);
  EXPECT_EQ(move.x, 3.0);
  EXPECT_EQ(move.y, 70.0);
}

TEST_F(ForwardingTest, PressCapturesTheMouseUntilTheLastButtonIsUp) {
  box_.SendMouse(WM_LBUTTONDOWN, kAt, MK_LBUTTON);
  EXPECT_TRUE(control_->GetSite().HasCapture());
  // Released beyond the control: the capture brings the release, but it makes no click.
  box_.SendMouse(WM_LBUTTONUP, kBeside);
  EXPECT_FALSE(control_->GetSite().HasCapture());
  EXPECT_EQ(Mouse(), (ids{kDown, kUp}));
  EXPECT_EQ(ArgsOf(*All(kUp)[0]).x, double(kBeside.x - kRect.left));
}

TEST_F(ForwardingTest, ClickTakesTheFocusThroughTheSite) {
  EXPECT_FALSE(control_->GetSite().HasFocus());
  box_.SendMouse(WM_LBUTTONDOWN, kAt, MK_LBUTTON);
  EXPECT_TRUE(control_->GetSite().HasFocus());
  EXPECT_TRUE(control_->GetSite().UIActive());
}

TEST_F(ForwardingTest, KeysArriveOnlyWithTheFocus) {
  Key(WM_KEYDOWN, 'A');
  Key(WM_CHAR, 'a');
  Key(WM_KEYUP, 'A');
  EXPECT_TRUE(Keys().empty());
  box_.SendMouse(WM_LBUTTONDOWN, kAt, MK_LBUTTON);
  box_.SendMouse(WM_LBUTTONUP, kAt);
  {
    HeldKeys shiftCtrl{VK_SHIFT, VK_CONTROL};
    Key(WM_KEYDOWN, 'A');
  }
  Key(WM_CHAR, 'a');
  Key(WM_KEYUP, 'A');
  ASSERT_EQ(Keys(), (ids{event_id::KeyDown, event_id::KeyPress, event_id::KeyUp}));
  const EventRecord& down = *All(event_id::KeyDown)[0];
  EXPECT_EQ(down.args.at(0).ToLong(), 'A');
  EXPECT_EQ(down.args.at(1).ToLong(), 3);
  EXPECT_EQ(All(event_id::KeyPress)[0]->args.at(0).ToLong(), 'a');
  EXPECT_EQ(All(event_id::KeyUp)[0]->args.at(1).ToLong(), 0);
}

TEST_F(ForwardingTest, KeysDeliveredWithoutTheFocusAreNotForwarded) {
  LRESULT result = 0;
  ComPtr<IOleInPlaceObjectWindowless> windowless = control_->Query<IOleInPlaceObjectWindowless>();
  EXPECT_EQ(windowless->OnWindowMessage(WM_KEYDOWN, 'B', 0, &result), S_FALSE);
  EXPECT_TRUE(Keys().empty());
}

TEST_F(ForwardingTest, DisabledControlReceivesNothing) {
  box_.SendMouse(WM_LBUTTONDOWN, kAt, MK_LBUTTON);
  box_.SendMouse(WM_LBUTTONUP, kAt);
  events_.Clear();
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_Enabled(VARIANT_FALSE));
  box_.SendMouse(WM_LBUTTONDOWN, kAt, MK_LBUTTON);
  box_.SendMouse(WM_LBUTTONUP, kAt);
  box_.SendMouse(WM_MOUSEMOVE, kAt);
  Key(WM_KEYDOWN, 'A');
  // Even a host that routes input to the disabled control anyway gets nothing raised.
  Deliver(WM_LBUTTONDOWN, kAt, MK_LBUTTON);
  Deliver(WM_LBUTTONUP, kAt);
  Deliver(WM_MOUSEMOVE, kAt);
  Deliver(WM_KEYDOWN, {});
  EXPECT_TRUE(Mouse().empty());
  EXPECT_TRUE(Keys().empty());
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_Enabled(VARIANT_TRUE));
  box_.SendMouse(WM_LBUTTONDOWN, kAt, MK_LBUTTON);
  EXPECT_EQ(Mouse(), (ids{kDown}));
}

TEST_F(ForwardingTest, DesignModeStillForwardsWhatTheHostDelivers) {
  control_->Ambient().SetUserMode(false);
  box_.SendMouse(WM_LBUTTONDOWN, kAt, MK_LBUTTON);
  box_.SendMouse(WM_LBUTTONUP, kAt);
  EXPECT_EQ(Mouse(), (ids{kDown, kUp, kClick}));
}

TEST_F(ForwardingTest, EnabledAndDropModeNotifyTheirChange) {
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_Enabled(VARIANT_FALSE));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_OLEDropMode(static_cast<eOLEDropMode>(1)));
  EXPECT_EQ(changes_.Changed(), (std::vector<DISPID>{0x68030027, 0x68030014}));
}

class WindowedForwardingTest : public ForwardingTest {
 protected:
  WindowedForwardingTest() { options_.windowless = false; }
  void SendOwn(UINT msg, POINT inControl, WPARAM keys = 0) {
    SendMessageW(control_->OwnWindow(), msg, keys, MAKELPARAM(inControl.x, inControl.y));
  }
};

TEST_F(WindowedForwardingTest, OwnWindowForwardsMouseAndKeys) {
  ASSERT_TRUE(control_->OwnWindow());
  SendOwn(WM_LBUTTONDOWN, {5, 6}, MK_LBUTTON);
  SendOwn(WM_LBUTTONUP, {5, 6});
  ASSERT_EQ(Mouse(), (ids{kDown, kUp, kClick}));
  EXPECT_EQ(ArgsOf(*All(kDown)[0]).x, 5.0);
  EXPECT_EQ(ArgsOf(*All(kDown)[0]).y, 6.0);
  EXPECT_EQ(GetFocus(), control_->OwnWindow());
  SendMessageW(control_->OwnWindow(), WM_KEYDOWN, VK_F2, 0);
  EXPECT_EQ(Keys(), (ids{event_id::KeyDown}));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_Enabled(VARIANT_FALSE));
  SendOwn(WM_LBUTTONDOWN, {5, 6}, MK_LBUTTON);
  EXPECT_EQ(All(kDown).size(), 1u);
}

}  // namespace
}  // namespace cardel::host
