// The hit query as a container asks it through IViewObjectEx, in a designer and in a running form.
#include <gtest/gtest.h>

#include "input_fixture.h"

namespace cardel::host {
namespace {

class HitQueryTest : public InputFixture {
 protected:
  // The pointer is put where the host says it is, as it would be for a real query.
  DWORD HitPoint(POINT client) {
    PointerTo(client);
    ComPtr<IViewObjectEx> view = control_->Query<IViewObjectEx>();
    DWORD hit = 0xDEAD;
    EXPECT_EQ(view->QueryHitPoint(DVASPECT_CONTENT, &kRect, client, 0, &hit), S_OK);
    return hit;
  }
  DWORD HitRect(const RECT& area) {
    ComPtr<IViewObjectEx> view = control_->Query<IViewObjectEx>();
    DWORD hit = 0xDEAD;
    EXPECT_EQ(view->QueryHitRect(DVASPECT_CONTENT, &kRect, &area, 0, &hit), S_OK);
    return hit;
  }
  void Configure(bool enabled, bool mouseToParent, bool runMode) {
    control_->Ambient().SetUserMode(runMode);
    ASSERT_HRESULT_SUCCEEDED(cardel_->put_Enabled(enabled ? VARIANT_TRUE : VARIANT_FALSE));
    ASSERT_HRESULT_SUCCEEDED(cardel_->put_MouseToParent(mouseToParent ? VARIANT_TRUE : VARIANT_FALSE));
    events_.Clear();
  }
  // The pointer goes back off the window, and one tick lets the control see it leave.
  void Leave() {
    ParkPointer();
    cardel_->tmrMOUSEOVER_Timer();
  }
  bool HoverRan() {
    const bool entered = !All(event_id::MouseEnter).empty();
    Leave();
    return entered;
  }
};

TEST_F(HitQueryTest, AnswersTheSixRowsOfTheTable) {
  struct Row {
    bool enabled, mouseToParent, runMode;
    DWORD hit;
    bool hover;
  };
  const Row rows[] = {
      {false, false, false, HITRESULT_HIT, false},    {false, true, false, HITRESULT_HIT, false},
      {false, false, true, HITRESULT_OUTSIDE, false}, {false, true, true, HITRESULT_OUTSIDE, false},
      {true, false, false, HITRESULT_HIT, false},     {true, false, true, HITRESULT_HIT, true},
      {true, true, false, HITRESULT_HIT, false},      {true, true, true, HITRESULT_OUTSIDE, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "enabled " << row.enabled << " to parent " << row.mouseToParent << " run "
                                    << row.runMode);
    Configure(row.enabled, row.mouseToParent, row.runMode);
    EXPECT_EQ(HitPoint(kInside), row.hit);
    EXPECT_EQ(HoverRan(), row.hover);
    EXPECT_EQ(HitRect(RECT{kRect.left + 5, kRect.top + 5, kRect.left + 9, kRect.top + 9}), row.hit);
    EXPECT_TRUE(All(event_id::MouseEnter).size() <= 1);
  }
}

TEST_F(HitQueryTest, RoundedCornersAndClearFillsAreHitWhenClaimed) {
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_BorderCornerLeftTop(40));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_BorderCornerBottomRight(40));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_BackColorOpacity(0));
  ASSERT_HRESULT_SUCCEEDED(cardel_->put_CallOut(VARIANT_TRUE));
  for (bool runMode : {false, true}) {
    control_->Ambient().SetUserMode(runMode);
    EXPECT_EQ(HitPoint({kRect.left, kRect.top}), static_cast<DWORD>(HITRESULT_HIT));
    EXPECT_EQ(HitPoint({kRect.right - 1, kRect.bottom - 1}), static_cast<DWORD>(HITRESULT_HIT));
    EXPECT_EQ(HitPoint({kRect.left + 60, kRect.top + 1}), static_cast<DWORD>(HITRESULT_HIT));
    Leave();
  }
}

TEST_F(HitQueryTest, DisabledDesignedControlStaysSelectableWithoutHover) {
  Configure(false, false, false);
  PointerTo(kInside);
  ASSERT_TRUE(PumpUntilPointerArrived(kInside));
  ASSERT_TRUE(PumpPollingPeriods());
  EXPECT_EQ(HitPoint(kInside), static_cast<DWORD>(HITRESULT_HIT));
  EXPECT_TRUE(Hover().empty());
  EXPECT_FALSE(IsMouseEnter());
}

}  // namespace
}  // namespace cardel::host
