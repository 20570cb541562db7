// The control as assistive technology reads it through oleacc: asked by QueryInterface when windowless,
// through WM_GETOBJECT on its own window in the windowed fallback, and the events that window raises.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <functional>
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

using host::Variant;
using Edges = std::vector<LONG>;  // left, top, right, bottom
using Events = std::vector<DWORD>;

constexpr RECT kRect{20, 20, 140, 60};
const Variant kSelf = Variant::Long(CHILDID_SELF);

// Every case runs windowless (the object comes from QueryInterface) and windowed (from the control's window).
class AccessibilityTest : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    control_ = &box_.Add(kRect, {.windowless = GetParam()});
    props_.emplace(control_->Unknown());
    if (GetParam())
      object_ = control_->Query<IAccessible>();
    else
      ASSERT_EQ(AccessibleObjectFromWindow(control_->OwnWindow(), OBJID_CLIENT, IID_PPV_ARGS(&object_)), S_OK);
    ASSERT_TRUE(object_);
  }
  void PutCaption(const std::wstring& caption, bool showPrefix) {
    ASSERT_EQ(props_->Put(L"Caption", Variant::String(caption)), S_OK);
    ASSERT_EQ(props_->PutInt(L"CaptionShowPrefix", showPrefix ? VARIANT_TRUE : VARIANT_FALSE), S_OK);
  }
  std::wstring Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    BSTR text = nullptr;
    EXPECT_HRESULT_SUCCEEDED((object_.Get()->*get)(*kSelf, &text));
    oletest::UniqueBstr owned(text);
    return std::wstring(text ? text : L"", SysStringLen(text));
  }
  LONG Number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
    Variant value;
    EXPECT_EQ((object_.Get()->*get)(*kSelf, value.put()), S_OK);
    return value.ToLong();
  }
  Edges Location() {
    LONG x = 0, y = 0, width = 0, height = 0;
    EXPECT_EQ(object_->accLocation(&x, &y, &width, &height, *kSelf), S_OK);
    return {x, y, x + width, y + height};
  }
  Edges OnScreen(RECT rect) const {
    MapWindowPoints(box_.Window(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
  }

  host::Library library_;
  host::Container box_{library_};
  host::HostedControl* control_ = nullptr;
  std::optional<ByName> props_;
  ComPtr<IAccessible> object_;
};

TEST_P(AccessibilityTest, IsTheControlItselfALeafWithoutAction) {
  EXPECT_TRUE(SameObject(object_.Get(), control_->Unknown()));
  LONG children = -1;
  EXPECT_EQ(object_->get_accChildCount(&children), S_OK);
  EXPECT_EQ(children, 0);
  ComPtr<IDispatch> parent;
  EXPECT_EQ(object_->get_accParent(&parent), S_OK);
  EXPECT_TRUE(parent);
  EXPECT_EQ(object_->accDoDefaultAction(*kSelf), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(object_->accDoDefaultAction(*Variant::Long(1)), E_INVALIDARG);
}

TEST_P(AccessibilityTest, NameAndShortcutAreTheCaptionAsShown) {
  const struct { const wchar_t *caption; bool showPrefix; const wchar_t *name, *shortcut; } cases[] = {
      {L"&Save", true, L"Save", L"Alt+S"},      {L"Fish && Chips", true, L"Fish & Chips", L""},
      {L"Save &as", true, L"Save as", L"Alt+A"}, {L"&Open &file", true, L"Open file", L"Alt+O"},
      {L"End&", true, L"End", L""},              {L"&Save", false, L"&Save", L""},
  };
  for (const auto& c : cases) {
    PutCaption(c.caption, c.showPrefix);
    SCOPED_TRACE(oletest::Narrow(c.caption));
    EXPECT_EQ(Text(&IAccessible::get_accName), c.name);
    EXPECT_EQ(Text(&IAccessible::get_accKeyboardShortcut), c.shortcut);
    EXPECT_EQ(Number(&IAccessible::get_accRole), ROLE_SYSTEM_STATICTEXT);
  }
  // Late-bound, as a script asks, with CHILDID_SELF as the 16-bit integer a literal 0 becomes.
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"accName");
  ASSERT_EQ(object_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  Variant child = Variant::Short(0), value;
  DISPPARAMS params{child.get(), nullptr, 1, 0};
  ASSERT_EQ(object_->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &params, value.put(), nullptr, nullptr), S_OK);
  EXPECT_EQ(value.ToString(), L"&Save");
}

TEST_P(AccessibilityTest, APictureAloneIsAGraphic) {
  Variant bytes = Variant::Bytes(testpictures::MakeIco(16, 16, 0xFF336699));
  SAFEARRAY* array = V_ARRAY(bytes.get());
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(control_->Cardel()->PictureFromStream(&array, &loaded), S_OK);
  ASSERT_EQ(loaded, VARIANT_TRUE);
  const struct { const wchar_t *caption, *iconCode; LONG role; } cases[] = {{L"", L"0", ROLE_SYSTEM_GRAPHIC}, {L"Logo", L"0", ROLE_SYSTEM_STATICTEXT},
               {L"", L"U+E700", ROLE_SYSTEM_STATICTEXT}};
  for (const auto& c : cases) {
    PutCaption(c.caption, false);
    ASSERT_EQ(props_->Put(L"IconCharCode", Variant::String(c.iconCode)), S_OK);
    EXPECT_EQ(Number(&IAccessible::get_accRole), c.role) << oletest::Narrow(c.iconCode);
    EXPECT_EQ(Text(&IAccessible::get_accName), c.caption);
  }
}

TEST_P(AccessibilityTest, StateFollowsEnabledAndVisibility) {
  EXPECT_EQ(Number(&IAccessible::get_accState), STATE_SYSTEM_READONLY);
  ASSERT_EQ(props_->PutInt(L"Enabled", VARIANT_FALSE), S_OK);
  EXPECT_EQ(Number(&IAccessible::get_accState), STATE_SYSTEM_READONLY | STATE_SYSTEM_UNAVAILABLE);
  ASSERT_EQ(props_->PutInt(L"Enabled", VARIANT_TRUE), S_OK);
  // A container hides a windowed control with the verb, a windowless one by deactivating it.
  if (GetParam())
    ASSERT_EQ(control_->Query<IOleInPlaceObject>()->InPlaceDeactivate(), S_OK);
  else
    ASSERT_EQ(control_->Query<IOleObject>()->DoVerb(OLEIVERB_HIDE, nullptr, nullptr, 0, nullptr, nullptr), S_OK);
  EXPECT_EQ(Number(&IAccessible::get_accState), STATE_SYSTEM_READONLY | STATE_SYSTEM_INVISIBLE);
}

TEST_P(AccessibilityTest, LocationIsOnTheScreenAfterAMove) {
  EXPECT_EQ(Location(), OnScreen(kRect));
  ASSERT_EQ(control_->Move({60, 80, 250, 130}), S_OK);
  const Edges screen = OnScreen({60, 80, 250, 130});
  EXPECT_EQ(Location(), screen);
  Variant hit;
  EXPECT_EQ(object_->accHitTest(screen[0] + 5, screen[1] + 5, hit.put()), S_OK);
  EXPECT_EQ(object_->accHitTest(screen[0] - 5, screen[1] + 5, hit.put()), S_FALSE);
}

// A child id as a client hands it over, unowned: nothing here is cleared.
VARIANT Raw(VARTYPE type, void* reference = nullptr) {
  VARIANT v{};
  V_VT(&v) = type;
  V_BYREF(&v) = reference;
  return v;
}

struct ChildCall {
  const char* name;
  std::function<HRESULT(IAccessible*, VARIANT)> call;
};

// Every member that takes a child id, each checking that a refusal leaves its out-parameters empty.
std::vector<ChildCall> ChildCalls() {
  const auto text = [](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    return [get](IAccessible* object, VARIANT child) {
      BSTR out = reinterpret_cast<BSTR>(&child);  // any non-null address, to see it cleared
      const HRESULT hr = (object->*get)(child, &out);
      oletest::UniqueBstr owned(SUCCEEDED(hr) ? out : nullptr);
      if (FAILED(hr)) {
        EXPECT_EQ(out, nullptr);
      }
      return hr;
    };
  };
  const auto number = [](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
    return [get](IAccessible* object, VARIANT child) {
      Variant out = Variant::Long(7);
      const HRESULT hr = (object->*get)(child, out.get());
      if (FAILED(hr)) {
        EXPECT_EQ(out.vt(), VT_EMPTY);
      }
      return hr;
    };
  };
  return {
      {"accName", text(&IAccessible::get_accName)},
      {"accValue", text(&IAccessible::get_accValue)},
      {"accDescription", text(&IAccessible::get_accDescription)},
      {"accHelp", text(&IAccessible::get_accHelp)},
      {"accKeyboardShortcut", text(&IAccessible::get_accKeyboardShortcut)},
      {"accDefaultAction", text(&IAccessible::get_accDefaultAction)},
      {"accRole", number(&IAccessible::get_accRole)},
      {"accState", number(&IAccessible::get_accState)},
      {"accHelpTopic",
       [](IAccessible* object, VARIANT child) {
         BSTR file = nullptr;
         LONG topic = 7;
         const HRESULT hr = object->get_accHelpTopic(&file, child, &topic);
         oletest::UniqueBstr owned(file);
         return hr;
       }},
      {"accLocation",
       [](IAccessible* object, VARIANT child) {
         LONG x = 7, y = 7, width = 7, height = 7;
         const HRESULT hr = object->accLocation(&x, &y, &width, &height, child);
         if (FAILED(hr)) {
           EXPECT_EQ(Edges({x, y, width, height}), Edges({0, 0, 0, 0}));
         }
         return hr;
       }},
      {"accNavigate",
       [](IAccessible* object, VARIANT child) {
         Variant end = Variant::Long(7);
         const HRESULT hr = object->accNavigate(NAVDIR_NEXT, child, end.get());
         if (FAILED(hr)) {
           EXPECT_EQ(end.vt(), VT_EMPTY);
         }
         return hr;
       }},
      {"accSelect", [](IAccessible* object, VARIANT child) { return object->accSelect(SELFLAG_TAKEFOCUS, child); }},
      {"accDoDefaultAction", [](IAccessible* object, VARIANT child) { return object->accDoDefaultAction(child); }},
  };
}

// A client that passes a reference to nothing, or something that is no number, is refused, never read.
TEST_P(AccessibilityTest, MalformedChildIdsAreRefusedByEveryMember) {
  VARIANT nothingByReference = Raw(VT_BYREF | VT_I4);
  Variant text = Variant::String(L"0");
  const struct {
    const char* what;
    VARIANT child;
  } malformed[] = {
      {"long by reference to nothing", Raw(VT_BYREF | VT_I4)},
      {"short by reference to nothing", Raw(VT_BYREF | VT_I2)},
      {"error by reference to nothing", Raw(VT_BYREF | VT_ERROR)},
      {"variant by reference to nothing", Raw(VT_BYREF | VT_VARIANT)},
      {"variant by reference to a reference to nothing", Raw(VT_BYREF | VT_VARIANT, &nothingByReference)},
      {"empty by reference", Raw(VT_BYREF | VT_EMPTY)},
      {"array", Raw(VT_ARRAY | VT_I4)},
      {"string", *text},
      {"double", Raw(VT_R8)},
      {"object", Raw(VT_DISPATCH)},
  };
  for (const ChildCall& member : ChildCalls()) {
    for (const auto& c : malformed) {
      EXPECT_EQ(member.call(object_.Get(), c.child), E_INVALIDARG) << member.name << ", " << c.what;
    }
  }
  // The one member whose child is not optional refuses an empty one.
  ComPtr<IDispatch> child;
  EXPECT_EQ(object_->get_accChild(Raw(VT_EMPTY), &child), E_INVALIDARG);
  EXPECT_EQ(object_->get_accChild(Raw(VT_BYREF | VT_I4), &child), E_INVALIDARG);
  EXPECT_FALSE(child);
}

TEST_P(AccessibilityTest, TheObjectItselfMayBeNamedInEveryIntegerFormAndLeftOut) {
  LONG self = CHILDID_SELF;
  short shortSelf = CHILDID_SELF;
  VARIANT longSelf = Raw(VT_I4);
  VARIANT shortValue = Raw(VT_I2);
  VARIANT leftOut = Raw(VT_ERROR);
  V_ERROR(&leftOut) = DISP_E_PARAMNOTFOUND;
  VARIANT referenceSelf = Raw(VT_BYREF | VT_I2, &shortSelf);
  const struct {
    const char* what;
    VARIANT child;
  } forms[] = {
      {"long", longSelf},
      {"short", shortValue},
      {"long by reference", Raw(VT_BYREF | VT_I4, &self)},
      {"variant by reference", Raw(VT_BYREF | VT_VARIANT, &longSelf)},
      {"variant by reference to a short by reference", Raw(VT_BYREF | VT_VARIANT, &referenceSelf)},
      {"left out by a script", leftOut},
      {"left out", Raw(VT_EMPTY)},
  };
  for (const auto& c : forms) {
    Variant role;
    EXPECT_EQ(object_->get_accRole(c.child, role.put()), S_OK) << c.what;
    EXPECT_EQ(role.vt() == VT_I4 ? V_I4(role.get()) : -1, ROLE_SYSTEM_STATICTEXT) << c.what;
    EXPECT_EQ(object_->accDoDefaultAction(c.child), DISP_E_MEMBERNOTFOUND) << c.what;
  }
  // A child the control does not have is no more valid than a malformed one.
  for (const ChildCall& member : ChildCalls())
    EXPECT_EQ(member.call(object_.Get(), *Variant::Long(1)), E_INVALIDARG) << member.name;
  EXPECT_EQ(object_->accSelect(0x100, *kSelf), E_INVALIDARG);
  EXPECT_EQ(object_->accNavigate(NAVDIR_MAX, *kSelf, Variant().put()), E_INVALIDARG);
}

TEST_P(AccessibilityTest, MissingOutParametersAreRefused) {
  LONG number = 0;
  BSTR text = nullptr;
  EXPECT_EQ(object_->get_accParent(nullptr), E_POINTER);
  EXPECT_EQ(object_->get_accChildCount(nullptr), E_POINTER);
  EXPECT_EQ(object_->get_accChild(*kSelf, nullptr), E_POINTER);
  EXPECT_EQ(object_->get_accName(*kSelf, nullptr), E_POINTER);
  EXPECT_EQ(object_->get_accRole(*kSelf, nullptr), E_POINTER);
  EXPECT_EQ(object_->get_accHelpTopic(nullptr, *kSelf, &number), E_POINTER);
  EXPECT_EQ(object_->get_accHelpTopic(&text, *kSelf, nullptr), E_POINTER);
  EXPECT_EQ(object_->get_accFocus(nullptr), E_POINTER);
  EXPECT_EQ(object_->get_accSelection(nullptr), E_POINTER);
  EXPECT_EQ(object_->accLocation(&number, &number, nullptr, &number, *kSelf), E_POINTER);
  EXPECT_EQ(object_->accNavigate(NAVDIR_NEXT, *kSelf, nullptr), E_POINTER);
  EXPECT_EQ(object_->accHitTest(0, 0, nullptr), E_POINTER);
}

INSTANTIATE_TEST_SUITE_P(Hosting, AccessibilityTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Windowless" : "Windowed"; });

// Events name the control's window, so only the windowed fallback raises them.
Events g_events;
HWND g_watched = nullptr;

void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (window == g_watched && object == OBJID_CLIENT && child == CHILDID_SELF) g_events.push_back(event);
}

TEST(AccessibilityEvents, TheWindowedFallbackTellsOfChanges) {
  host::Library library;
  host::Container box{library};
  host::HostedControl& control = box.Add(kRect, {.windowless = false});
  ByName props(control.Unknown());
  g_watched = control.OwnWindow();
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, Record,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_TRUE(hook);
  // The events that came of a change: waits for the first, then for everything queued behind it.
  const auto after = [&](auto change) {
    EXPECT_TRUE(box.PumpPosted());
    g_events.clear();
    change();
    EXPECT_TRUE(box.PumpUntil([] { return !g_events.empty(); })) << "no event came";
    EXPECT_TRUE(box.PumpPosted());
    return g_events;
  };
  EXPECT_EQ(after([&] { props.Put(L"Caption", Variant::String(L"&Next")); }), Events{EVENT_OBJECT_NAMECHANGE});
  EXPECT_EQ(after([&] { props.PutInt(L"CaptionShowPrefix", VARIANT_TRUE); }), Events{EVENT_OBJECT_NAMECHANGE});
  EXPECT_EQ(after([&] { props.PutInt(L"Enabled", VARIANT_FALSE); }), Events{EVENT_OBJECT_STATECHANGE});
  EXPECT_EQ(after([&] { control.Move({30, 40, 150, 90}); }), Events{EVENT_OBJECT_LOCATIONCHANGE});
  UnhookWinEvent(hook);
}

}  // namespace
}  // namespace cardel::controltest
