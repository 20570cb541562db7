// The control as assistive technology reads it through oleacc: asked by QueryInterface when windowless,
// through WM_GETOBJECT on its own window in the windowed fallback, and the events that window raises.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "container.h"
#include "control_access.h"
#include "library.h"
#include "ole_support.h"
#include "test_pictures.h"

namespace cardel::controltest {
namespace {

using testhost::Container;
using testhost::HostedControl;
using testhost::Library;

constexpr RECT kRect{20, 20, 140, 60};

VARIANT Self() {
  VARIANT self;
  V_VT(&self) = VT_I4;
  V_I4(&self) = CHILDID_SELF;
  return self;
}

std::wstring Text(IAccessible& object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  EXPECT_HRESULT_SUCCEEDED((object.*get)(Self(), &text));
  oletest::UniqueBstr owned(text);
  return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

LONG Number(IAccessible& object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
  testhost::Variant value;
  EXPECT_EQ((object.*get)(Self(), value.put()), S_OK);
  return value.vt() == VT_I4 ? V_I4(value.get()) : -1;
}

// left, top, right, bottom
using Edges = std::vector<LONG>;

Edges Location(IAccessible& object) {
  LONG x = 0, y = 0, width = 0, height = 0;
  EXPECT_EQ(object.accLocation(&x, &y, &width, &height, Self()), S_OK);
  return {x, y, x + width, y + height};
}

// Runs every case windowless (the object comes from QueryInterface) and windowed (from the control's window).
class AccessibilityTest : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    control_ = &box_.Add(kRect, {.windowless = Windowless()});
    props_.emplace(control_->Unknown());
    ASSERT_EQ(control_->OwnWindow() == nullptr, Windowless());
    if (Windowless())
      object_ = control_->Query<IAccessible>();
    else
      ASSERT_EQ(AccessibleObjectFromWindow(control_->OwnWindow(), OBJID_CLIENT, IID_PPV_ARGS(&object_)), S_OK);
    ASSERT_TRUE(object_);
  }
  bool Windowless() const { return GetParam(); }
  void PutCaption(const std::wstring& caption, bool showPrefix) {
    ASSERT_EQ(props_->Put(L"Caption", testhost::Variant::String(caption)), S_OK);
    ASSERT_EQ(props_->PutInt(L"CaptionShowPrefix", showPrefix ? VARIANT_TRUE : VARIANT_FALSE), S_OK);
  }
  Edges OnScreen(RECT rect) const {
    MapWindowPoints(box_.Window(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
  }

  Library library_;
  Container box_{library_};
  HostedControl* control_ = nullptr;
  std::optional<ByName> props_;
  ComPtr<IAccessible> object_;
};

TEST_P(AccessibilityTest, IsTheControlItselfWithoutChildren) {
  EXPECT_TRUE(SameObject(object_.Get(), control_->Unknown()));
  LONG children = -1;
  EXPECT_EQ(object_->get_accChildCount(&children), S_OK);
  EXPECT_EQ(children, 0);
  ComPtr<IDispatch> parent;
  EXPECT_EQ(object_->get_accParent(&parent), S_OK);
  EXPECT_TRUE(parent);
  EXPECT_EQ(object_->accDoDefaultAction(Self()), DISP_E_MEMBERNOTFOUND);
}

TEST_P(AccessibilityTest, NameAndShortcutAreTheCaptionAsShown) {
  const struct {
    const wchar_t* caption;
    bool showPrefix;
    const wchar_t* name;
    const wchar_t* shortcut;
  } cases[] = {
      {L"&Save", true, L"Save", L"Alt+S"},      {L"Fish && Chips", true, L"Fish & Chips", L""},
      {L"Save &as", true, L"Save as", L"Alt+A"}, {L"&Open &file", true, L"Open file", L"Alt+O"},
      {L"End&", true, L"End", L""},              {L"&Save", false, L"&Save", L""},
  };
  for (const auto& c : cases) {
    PutCaption(c.caption, c.showPrefix);
    SCOPED_TRACE(oletest::Narrow(c.caption));
    EXPECT_EQ(Text(*object_.Get(), &IAccessible::get_accName), c.name);
    EXPECT_EQ(Text(*object_.Get(), &IAccessible::get_accKeyboardShortcut), c.shortcut);
    EXPECT_EQ(Number(*object_.Get(), &IAccessible::get_accRole), ROLE_SYSTEM_STATICTEXT);
  }
}

TEST_P(AccessibilityTest, APictureAloneIsAGraphic) {
  testhost::Variant bytes = testhost::Variant::Bytes(testpictures::MakeIco(16, 16, 0xFF336699));
  SAFEARRAY* array = V_ARRAY(bytes.get());
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(control_->Cardel()->PictureFromStream(&array, &loaded), S_OK);
  ASSERT_EQ(loaded, VARIANT_TRUE);
  const struct {
    const wchar_t* caption;
    const wchar_t* iconCode;
    LONG role;
  } cases[] = {{L"", L"0", ROLE_SYSTEM_GRAPHIC}, {L"Logo", L"0", ROLE_SYSTEM_STATICTEXT},
               {L"", L"U+E700", ROLE_SYSTEM_STATICTEXT}};
  for (const auto& c : cases) {
    PutCaption(c.caption, false);
    ASSERT_EQ(props_->Put(L"IconCharCode", testhost::Variant::String(c.iconCode)), S_OK);
    EXPECT_EQ(Number(*object_.Get(), &IAccessible::get_accRole), c.role) << oletest::Narrow(c.iconCode);
    EXPECT_EQ(Text(*object_.Get(), &IAccessible::get_accName), c.caption);
  }
}

TEST_P(AccessibilityTest, StateFollowsEnabledAndVisibility) {
  EXPECT_EQ(Number(*object_.Get(), &IAccessible::get_accState), STATE_SYSTEM_READONLY);
  ASSERT_EQ(props_->PutInt(L"Enabled", VARIANT_FALSE), S_OK);
  EXPECT_EQ(Number(*object_.Get(), &IAccessible::get_accState), STATE_SYSTEM_READONLY | STATE_SYSTEM_UNAVAILABLE);
  ASSERT_EQ(props_->PutInt(L"Enabled", VARIANT_TRUE), S_OK);
  // A container hides a windowed control with the verb, a windowless one by deactivating it.
  if (Windowless())
    ASSERT_EQ(control_->Query<IOleInPlaceObject>()->InPlaceDeactivate(), S_OK);
  else
    ASSERT_EQ(control_->Query<IOleObject>()->DoVerb(OLEIVERB_HIDE, nullptr, nullptr, 0, nullptr, nullptr), S_OK);
  EXPECT_EQ(Number(*object_.Get(), &IAccessible::get_accState), STATE_SYSTEM_READONLY | STATE_SYSTEM_INVISIBLE);
}

TEST_P(AccessibilityTest, LocationIsOnTheScreenAfterAMove) {
  EXPECT_EQ(Location(*object_.Get()), OnScreen(kRect));
  const RECT moved{60, 80, 250, 130};
  ASSERT_EQ(control_->Move(moved), S_OK);
  const Edges screen = OnScreen(moved);
  EXPECT_EQ(Location(*object_.Get()), screen);
  testhost::Variant hit;
  EXPECT_EQ(object_->accHitTest(screen[0] + 5, screen[1] + 5, hit.put()), S_OK);
  EXPECT_EQ(hit.vt(), VT_I4);
  EXPECT_EQ(object_->accHitTest(screen[0] - 5, screen[1] + 5, hit.put()), S_FALSE);
}

TEST_P(AccessibilityTest, ScriptsReachItLateBound) {
  PutCaption(L"&Save", true);
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"accName");
  ASSERT_EQ(object_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  // A script's literal 0 arrives as a 16-bit integer.
  testhost::Variant child = testhost::Variant::Short(0), value;
  DISPPARAMS params{child.get(), nullptr, 1, 0};
  ASSERT_EQ(object_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &params, value.put(), nullptr, nullptr), S_OK);
  EXPECT_EQ(value.ToString(), L"Save");
}

INSTANTIATE_TEST_SUITE_P(Hosting, AccessibilityTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Windowless" : "Windowed"; });

// Events name the control's window, so only the windowed fallback raises them.
std::vector<DWORD> g_events;
HWND g_watched = nullptr;

void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (window == g_watched && object == OBJID_CLIENT && child == CHILDID_SELF) g_events.push_back(event);
}

TEST(AccessibilityEvents, TheWindowedFallbackTellsOfChanges) {
  Library library;
  Container box{library};
  HostedControl& control = box.Add(kRect, {.windowless = false});
  ByName props(control.Unknown());
  g_watched = control.OwnWindow();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, Record,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_TRUE(hook);
  const auto after = [&](auto change) {
    box.PumpMessages();
    g_events.clear();
    change();
    box.PumpMessages();
    return g_events;
  };
  EXPECT_EQ(after([&] { props.Put(L"Caption", testhost::Variant::String(L"&Next")); }),
            std::vector<DWORD>{EVENT_OBJECT_NAMECHANGE});
  EXPECT_EQ(after([&] { props.PutInt(L"Enabled", VARIANT_FALSE); }), std::vector<DWORD>{EVENT_OBJECT_STATECHANGE});
  EXPECT_EQ(after([&] { control.Move({30, 40, 150, 90}); }), std::vector<DWORD>{EVENT_OBJECT_LOCATIONCHANGE});
  UnhookWinEvent(hook);
}

}  // namespace
}  // namespace cardel::controltest
