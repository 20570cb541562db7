#pragma once
// One windowless control in a real container window, with the real pointer placed where a test
// wants it and the control's events recorded.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <vector>

#include "container.h"
#include "library.h"
#include "recorders.h"

namespace cardel::host {

using namespace std::chrono_literals;

class InputFixture : public testing::Test {
 protected:
  static constexpr RECT kRect{40, 40, 160, 120};
  static constexpr POINT kInside{100, 80};
  // In the container's window, off the control.
  static constexpr POINT kBeside{300, 220};

  void SetUp() override;
  void TearDown() override;
  // What the control is created with; a test changes it before SetUp runs.
  ControlOptions options_;

  // Client points of the container window.
  POINT ToScreen(POINT client) const;
  void PointerTo(POINT client) const;
  // Off the container window altogether.
  static void ParkPointer();
  // Waits are for something to happen, never for a time: a wait that runs out is a failed check that
  // says what never came.
  testing::AssertionResult PumpUntil(const std::function<bool()>& done, const char* what);
  // Until the hover events recorded number at least `count`.
  testing::AssertionResult PumpUntilHoverEvents(size_t count);
  // Until the move of the pointer to `client` has reached the container: the control has seen it, if the
  // host routed it there.
  testing::AssertionResult PumpUntilPointerArrived(POINT client);
  // Until the polling timer has ticked `ticks` more times. Hover events come only from input and ticks, so
  // after a few ticks without an event none is late.
  testing::AssertionResult PumpTicks(int ticks = 3);
  // Until every timer at the polling pace, fast or resting, has had time to tick: for checks that a control
  // which should not be polling raises nothing.
  testing::AssertionResult PumpPollingPeriods();

  // The host's routing bypassed: the message goes straight to the control, as from a host that
  // does not hit-test first. The point is in the container's client pixels.
  HRESULT Deliver(UINT msg, POINT client, WPARAM keys = 0);

  // The recorded events whose identifiers are among `ids`, in order.
  std::vector<DISPID> Only(std::initializer_list<DISPID> ids) const;
  std::vector<DISPID> Hover() const;
  // The recorded events with this identifier, in order.
  std::vector<const EventRecord*> All(DISPID id) const;

  bool IsMouseEnter() const;
  bool IsMouseOver() const;

  Library library_;
  // Other test programs sharing the Wine server put their containers at the default place; hover
  // tracking asks which window is under the pointer, so this one keeps clear of them.
  Container box_{library_, {400, 300}, {860, 700}};
  HostedControl* control_ = nullptr;
  ComPtr<_ucCardel> cardel_;
  EventRecorder events_;
  PropertyNotifyRecorder changes_;
};

}  // namespace cardel::host
