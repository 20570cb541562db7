// Handlers that end the control from inside its own events: the host must survive, nothing may be touched
// after the last release (the program runs under Wine's heap checks), and the library must be unloadable.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <functional>

#include "common/automation_handles.h"
#include "container.h"
#include "dib_surface.h"
#include "library.h"
#include "recorders.h"

namespace cardel::host {
namespace {

constexpr RECT kRect{40, 40, 160, 120};
constexpr POINT kInside{100, 80};
constexpr POINT kBeside{300, 220};

// Release: the host forgets every reference; Remove: it deactivates, closes and releases; Close: only closes.
enum class Ending { Release, Remove, Close };

struct Scene {
  Container& form;
  HostedControl& control;
  // How often the handler under test has run.
  const int& ended;
};

// Makes the control raise `event`, calling it through pointers that hold no reference of their own, as a
// container calling through the pointer it keeps does.
using Trigger = std::function<void(Scene&)>;

template <class Interface>
Interface* Unheld(HostedControl& control) {
  return control.Query<Interface>().Get();
}

void PointerTo(const Container& form, POINT client) {
  ClientToScreen(form.Window(), &client);
  SetCursorPos(client.x, client.y);
}

void DrawIntoMemory(Scene& scene) {
  IViewObject* view = Unheld<IViewObject>(scene.control);
  const DibSurface canvas(200, 100);
  const RECTL bounds{0, 0, 120, 80};
  view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds, nullptr, nullptr, 0);
}

void PaintOwnWindow(Scene& scene) {
  const HWND own = scene.control.OwnWindow();
  ASSERT_TRUE(own);
  InvalidateRect(own, nullptr, FALSE);
  UpdateWindow(own);
}

void QueryHit(Scene& scene) {
  PointerTo(scene.form, kInside);
  IViewObjectEx* view = Unheld<IViewObjectEx>(scene.control);
  DWORD hit = 0;
  view->QueryHitPoint(DVASPECT_CONTENT, &kRect, kInside, 0, &hit);
}

void PressButton(Scene& scene) {
  IOleInPlaceObjectWindowless* windowless = Unheld<IOleInPlaceObjectWindowless>(scene.control);
  LRESULT result = 0;
  windowless->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kInside.x, kInside.y), &result);
}

// The hover timer's tick raises MouseOut once the pointer has gone.
void LeaveByTick(Scene& scene) {
  PointerTo(scene.form, kInside);
  scene.form.SendMouse(WM_MOUSEMOVE, kInside);
  PointerTo(scene.form, kBeside);
  EXPECT_TRUE(scene.form.PumpUntil([&] { return scene.ended != 0; })) << "no tick raised the event";
}

constexpr DISPID kNothing = 0;

struct Case {
  const char* name;
  bool windowless;
  DISPID event;
  Trigger trigger;
  // What the same call raises after the event: a control released in the handler still gets there intact.
  DISPID then;
};

const Case kCases[] = {
    {"PrePaint in IViewObject::Draw", true, event_id::PrePaint, DrawIntoMemory, event_id::PostPaint},
    {"PostPaint in IViewObject::Draw", true, event_id::PostPaint, DrawIntoMemory, kNothing},
    {"PrePaint in the own window's WM_PAINT", false, event_id::PrePaint, PaintOwnWindow, event_id::PostPaint},
    {"MouseEnter in the hit query", true, event_id::MouseEnter, QueryHit, event_id::MouseOver},
    {"MouseDown in windowless input", true, event_id::MouseDown, PressButton, kNothing},
    {"MouseOut in the hover tick", true, event_id::MouseOut, LeaveByTick, event_id::MouseLeave},
};

TEST(ReentrancyTest, HandlersMayReleaseOrCloseTheControl) {
  Library library;
  for (const Ending ending : {Ending::Release, Ending::Remove, Ending::Close}) {
    for (const Case& c : kCases) {
      SCOPED_TRACE(testing::Message() << c.name << ", ending " << static_cast<int>(ending));
      SetCursorPos(1200, 20);
      {
        Container form(library, {400, 300}, {860, 700});
        HostedControl& control = form.Add(kRect, {.windowless = c.windowless});
        form.Repaint();
        ASSERT_TRUE(form.PumpPosted());
        EventRecorder events;
        ASSERT_HRESULT_SUCCEEDED(events.Connect(control.Unknown()));
        EventRecorder watcher;
        ASSERT_HRESULT_SUCCEEDED(watcher.Connect(control.Unknown()));
        watcher.LetGo();
        int ended = 0;
        events.SetHandler([&](DISPID id, DISPPARAMS*) {
          if (id != c.event || ended++) return;
          events.Disconnect();
          if (ending == Ending::Release)
            control.Drop();
          else if (ending == Ending::Remove)
            form.Remove(control);
          else
            control.Query<IOleObject>()->Close(OLECLOSE_NOSAVE);
        });
        Scene scene{form, control, ended};
        c.trigger(scene);
        EXPECT_EQ(ended, 1);
        if (ending != Ending::Close) {
          EXPECT_EQ(library.DllCanUnloadNow(), S_OK) << "released in the event";
        }
        if (ending == Ending::Release && c.then != kNothing) {
          EXPECT_EQ(watcher.Count(c.then), 1u);
        }
        if (ending == Ending::Close) {
          // A closed control still answers its clients.
          UniqueBstr caption;
          EXPECT_HRESULT_SUCCEEDED(control.Cardel()->get_Caption(caption.put()));
        }
        ASSERT_TRUE(form.PumpPosted());
      }
      EXPECT_EQ(library.DllCanUnloadNow(), S_OK);
    }
  }
  SetCursorPos(1200, 20);
}

}  // namespace
}  // namespace cardel::host
