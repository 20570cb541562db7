#pragma once
// A real top-level window that hosts any number of controls the way a form does: it paints a checkerboard
// (so transparency shows), draws windowless controls over it, routes mouse and keyboard input to them, and
// lets a test read back the pixels.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "common/win_handles.h"
#include "hosted_control.h"

namespace cardel::host {

class Library;

// A screen pixel as 0x00RRGGBB.
using Pixel = uint32_t;

constexpr Pixel ToPixel(COLORREF color) {
  return (static_cast<Pixel>(GetRValue(color)) << 16) | (static_cast<Pixel>(GetGValue(color)) << 8) | GetBValue(color);
}

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;  // rows from the top
  Pixel At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class Container {
 public:
  static constexpr int kCheckerCell = 8;
  static constexpr COLORREF kCheckerLight = RGB(0xE6, 0xE6, 0xE6);
  static constexpr COLORREF kCheckerDark = RGB(0x33, 0x66, 0x99);
  // The background's colour at a client point, where no control covers it.
  static Pixel BackgroundAt(int x, int y);

  // The library must outlive the container. Without one the container hosts nothing but can still be
  // tested on its own.
  explicit Container(const Library& library, SIZE client_size = {400, 300}, POINT screen_origin = {40, 40});
  explicit Container(SIZE client_size = {400, 300}, POINT screen_origin = {40, 40});
  Container(const Container&) = delete;
  Container& operator=(const Container&) = delete;
  ~Container();

  HWND Window() const noexcept { return window_.get(); }
  RECT ClientRect() const;

  // Creates, loads and (by default) in-place activates a control at rect (client coordinates). Throws
  // HostError if a step other than InitNew/Load fails; a failed load is kept in LoadResult() and the
  // control is then not activated. The container owns the result until Remove or its own end.
  HostedControl& Add(const RECT& rect, const ControlOptions& options = {});
  void Remove(HostedControl& control);
  void RemoveAll();
  const std::vector<std::unique_ptr<HostedControl>>& Controls() const noexcept { return controls_; }

  // Far longer than any wait a passing test makes: a wait that runs into it is a fault, not a slow machine.
  static constexpr std::chrono::milliseconds kPumpSafety{20000};

  // Dispatches what is queued, or what arrives during the given time.
  void PumpMessages();
  void PumpFor(std::chrono::milliseconds duration);
  // Dispatches messages until done() holds; false if it still does not after `safety`.
  [[nodiscard]] bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds safety = kPumpSafety);
  // Dispatches until a message posted now to the window has been handled: everything posted before it, and
  // every input the system queued before it, has been handled too.
  [[nodiscard]] bool PumpPosted();
  // Dispatches until a timer of this interval, started now, has fired `ticks` times. Timers fire in the order
  // they fall due, so every window timer already running with this interval or a shorter one has fired too.
  [[nodiscard]] bool PumpTimerPeriods(UINT interval_ms, int ticks);
  // Window timer messages the pump has dispatched so far: a clock that advances only while timers run.
  uint64_t WindowTimerTicks() const noexcept { return window_timer_ticks_; }
  // The screen point of the last mouse move the system queued for this thread's windows, once one came.
  std::optional<POINT> LastQueuedMouseMove() const noexcept { return last_mouse_move_; }
  // Invalidates the whole window and paints it before returning.
  void Repaint();
  // Paints what is pending, then copies the window's pixels in rect (client coordinates).
  Image Capture(const RECT& rect);

  // Delivers a mouse message at a client point through the window procedure, as the system would.
  LRESULT SendMouse(UINT message, POINT point, WPARAM keys = 0);

  // Services for the sites.
  void PaintBackground(HDC dc, const RECT& area) const;
  void SetCaptureOwner(Site& site, bool capture);
  void SetFocusOwner(Site& site, bool focus);
  Site* CaptureOwner() const noexcept { return capture_owner_; }
  Site* FocusOwner() const noexcept { return focus_owner_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  // The background, then every windowless control over it, bottom to top.
  void Paint(HDC dc, const RECT& area);
  HostedControl* Owner(const Site* site) const;
  HostedControl* ControlAt(POINT point) const;
  HostedControl* MouseTarget(POINT point) const;

  const Library* library_;
  UniqueWindow window_;
  std::vector<std::unique_ptr<HostedControl>> controls_;
  Site* capture_owner_ = nullptr;
  Site* focus_owner_ = nullptr;
  int controls_added_ = 0;
  uint64_t window_timer_ticks_ = 0;
  uint64_t posted_markers_sent_ = 0;
  uint64_t posted_markers_seen_ = 0;
  UINT_PTR probe_timer_ = 0;
  int probe_ticks_ = 0;
  std::optional<POINT> last_mouse_move_;
};

}  // namespace cardel::host
