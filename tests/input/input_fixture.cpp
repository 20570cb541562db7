#include "input_fixture.h"

#include <algorithm>

#include "input/poll_pace.h"

namespace cardel::host {

void InputFixture::SetUp() {
  ParkPointer();
  control_ = &box_.Add(kRect, options_);
  ASSERT_HRESULT_SUCCEEDED(control_->LoadResult());
  cardel_ = control_->Cardel();
  ASSERT_TRUE(cardel_);
  ASSERT_HRESULT_SUCCEEDED(events_.Connect(control_->Unknown()));
  ASSERT_HRESULT_SUCCEEDED(changes_.Connect(control_->Unknown()));
  box_.Repaint();
  ASSERT_TRUE(box_.PumpPosted()) << "the container's queue never drained";
  events_.Clear();
  changes_.Clear();
}

void InputFixture::TearDown() {
  events_.Disconnect();
  changes_.Disconnect();
  ParkPointer();
}

POINT InputFixture::ToScreen(POINT client) const {
  ClientToScreen(box_.Window(), &client);
  return client;
}

void InputFixture::PointerTo(POINT client) const {
  const POINT screen = ToScreen(client);
  SetCursorPos(screen.x, screen.y);
}

void InputFixture::ParkPointer() { SetCursorPos(1200, 20); }

testing::AssertionResult InputFixture::PumpUntil(const std::function<bool()>& done, const char* what) {
  if (box_.PumpUntil(done)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "still waiting for " << what << " after "
                                     << Container::kPumpSafety.count() << " ms";
}

testing::AssertionResult InputFixture::PumpUntilHoverEvents(size_t count) {
  return PumpUntil([&] { return Hover().size() >= count; }, "hover events")
         << "; recorded " << Hover().size() << " of " << count;
}

testing::AssertionResult InputFixture::PumpUntilPointerArrived(POINT client) {
  const POINT screen = ToScreen(client);
  return PumpUntil(
      [&] {
        const std::optional<POINT> last = box_.LastQueuedMouseMove();
        return last && last->x == screen.x && last->y == screen.y;
      },
      "the pointer's move to reach the container");
}

testing::AssertionResult InputFixture::PumpTicks(int ticks) {
  const uint64_t wanted = box_.WindowTimerTicks() + ticks;
  return PumpUntil([&] { return box_.WindowTimerTicks() >= wanted; }, "polling ticks");
}

testing::AssertionResult InputFixture::PumpPollingPeriods() {
  if (box_.PumpTimerPeriods(input::PollPace::kResting, 2)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "a timer at the resting pace never fired twice";
}

HRESULT InputFixture::Deliver(UINT msg, POINT client, WPARAM keys) {
  ComPtr<IOleInPlaceObjectWindowless> windowless = control_->Query<IOleInPlaceObjectWindowless>();
  if (!windowless) return E_NOINTERFACE;
  LRESULT result = 0;
  return windowless->OnWindowMessage(msg, keys, MAKELPARAM(client.x, client.y), &result);
}

std::vector<DISPID> InputFixture::Only(std::initializer_list<DISPID> ids) const {
  std::vector<DISPID> kept;
  for (const EventRecord& record : events_.Events())
    if (std::find(ids.begin(), ids.end(), record.id) != ids.end()) kept.push_back(record.id);
  return kept;
}

std::vector<DISPID> InputFixture::Hover() const {
  return Only({event_id::MouseEnter, event_id::MouseLeave, event_id::MouseOver, event_id::MouseOut});
}

std::vector<const EventRecord*> InputFixture::All(DISPID id) const {
  std::vector<const EventRecord*> found;
  for (const EventRecord& record : events_.Events())
    if (record.id == id) found.push_back(&record);
  return found;
}

bool InputFixture::IsMouseEnter() const {
  VARIANT_BOOL value = 0;
  EXPECT_HRESULT_SUCCEEDED(cardel_->get_IsMouseEnter(&value));
  EXPECT_TRUE(value == VARIANT_TRUE || value == VARIANT_FALSE) << "a published Boolean is True or False: " << value;
  return value != 0;
}

bool InputFixture::IsMouseOver() const {
  VARIANT_BOOL value = 0;
  EXPECT_HRESULT_SUCCEEDED(cardel_->get_IsMouseOver(&value));
  EXPECT_TRUE(value == VARIANT_TRUE || value == VARIANT_FALSE) << "a published Boolean is True or False: " << value;
  return value != 0;
}

}  // namespace cardel::host
