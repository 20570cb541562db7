#include "input_fixture.h"

#include <algorithm>

namespace cardel::testhost {

void InputFixture::SetUp() {
  ParkPointer();
  control_ = &box_.Add(kRect, options_);
  ASSERT_HRESULT_SUCCEEDED(control_->LoadResult());
  cardel_ = control_->Cardel();
  ASSERT_TRUE(cardel_);
  ASSERT_HRESULT_SUCCEEDED(events_.Connect(control_->Unknown()));
  ASSERT_HRESULT_SUCCEEDED(changes_.Connect(control_->Unknown()));
  box_.Repaint();
  Pump(30ms);
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

}  // namespace cardel::testhost
