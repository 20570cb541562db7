#include "container.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "common/dib_info.h"
#include "host_error.h"
#include "library.h"

namespace cardel::host {

namespace {

constexpr wchar_t kWindowClass[] = L"CardelTestContainer";
// Posted to the window behind whatever is queued; its arrival says the queue before it has been handled.
constexpr UINT kPostedMarker = WM_APP + 0x51;

bool IsMouseMessage(UINT message) {
  return (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) ||
         (message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK);
}

bool GoesToFocus(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL ||
         message == WM_SETFOCUS || message == WM_KILLFOCUS;
}

void RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.lpfnWndProc = procedure;
  type.hInstance = GetModuleHandleW(nullptr);
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&type) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) ThrowLastError("RegisterClassExW");
}

}  // namespace

Pixel Container::BackgroundAt(int x, int y) {
  const bool light = ((x / kCheckerCell) + (y / kCheckerCell)) % 2 == 0;
  return ToPixel(light ? kCheckerLight : kCheckerDark);
}

Container::Container(const Library& library, SIZE client_size, POINT screen_origin)
    : Container(client_size, screen_origin) {
  library_ = &library;
}

Container::Container(SIZE client_size, POINT screen_origin) : library_(nullptr) {
  RegisterWindowClass(&Container::WindowProc);
  // A popup that is never activated stays unmanaged in Wine's X11 driver, which otherwise waits two seconds
  // for a window manager on every destroy. It still takes keyboard focus and paints like any window.
  window_.reset(CreateWindowExW(WS_EX_NOACTIVATE, kWindowClass, L"Cardel test container", WS_POPUP | WS_CLIPCHILDREN,
                                screen_origin.x, screen_origin.y, client_size.cx, client_size.cy, nullptr, nullptr,
                                GetModuleHandleW(nullptr), this));
  if (!window_) ThrowLastError("CreateWindowExW");
  ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
  ::SetFocus(window_.get());
  UpdateWindow(window_.get());
  PumpMessages();
}

Container::~Container() {
  RemoveAll();
  window_.reset();
  PumpMessages();
}

RECT Container::ClientRect() const {
  RECT rect{};
  GetClientRect(window_.get(), &rect);
  return rect;
}

HostedControl& Container::Add(const RECT& rect, const ControlOptions& options) {
  if (!library_) throw HostError("Container::Add without a control library", E_UNEXPECTED);
  ++controls_added_;
  const std::wstring name =
      options.display_name.empty() ? L"ucCardel" + std::to_wstring(controls_added_) : options.display_name;
  controls_.push_back(std::make_unique<HostedControl>(*this, rect, name, options.windowless));
  HostedControl& control = *controls_.back();
  try {
    if (options.ambients) options.ambients(control.Ambient());
    control.Open(*library_, options);
  } catch (...) {
    Remove(control);
    throw;
  }
  return control;
}

void Container::Remove(HostedControl& control) {
  const auto found =
      std::find_if(controls_.begin(), controls_.end(), [&](const auto& held) { return held.get() == &control; });
  if (found == controls_.end()) return;
  // Out of the list first, so that messages sent during the tear-down no longer reach the control.
  std::unique_ptr<HostedControl> leaving = std::move(*found);
  controls_.erase(found);
  Site& site = leaving->GetSite();
  if (capture_owner_ == &site) SetCaptureOwner(site, false);
  if (focus_owner_ == &site) focus_owner_ = nullptr;
  leaving.reset();
}

void Container::RemoveAll() {
  while (!controls_.empty()) Remove(*controls_.back());
}

void Container::PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_TIMER && !message.hwnd && probe_timer_ && message.wParam == probe_timer_) {
      ++probe_ticks_;
      continue;
    }
    if (message.message == WM_TIMER && message.hwnd) ++window_timer_ticks_;
    if (message.message == WM_MOUSEMOVE) last_mouse_move_ = message.pt;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool Container::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds safety) {
  const auto end = std::chrono::steady_clock::now() + safety;
  PumpMessages();
  while (!done()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    PumpMessages();
  }
  return true;
}

bool Container::PumpPosted() {
  const uint64_t marker = ++posted_markers_sent_;
  if (!PostMessageW(window_.get(), kPostedMarker, 0, 0)) return false;
  return PumpUntil([&] { return posted_markers_seen_ >= marker; });
}

bool Container::PumpTimerPeriods(UINT interval_ms, int ticks) {
  // A thread timer: it has no window, so it never counts among the window timers it measures.
  probe_timer_ = SetTimer(nullptr, 0, interval_ms, nullptr);
  if (!probe_timer_) return false;
  probe_ticks_ = 0;
  const bool fired = PumpUntil([&] { return probe_ticks_ >= ticks; });
  KillTimer(nullptr, probe_timer_);
  probe_timer_ = 0;
  return fired;
}

void Container::PumpFor(std::chrono::milliseconds duration) {
  const auto end = std::chrono::steady_clock::now() + duration;
  for (auto now = std::chrono::steady_clock::now(); now < end; now = std::chrono::steady_clock::now()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    PumpMessages();
  }
}

void Container::Repaint() {
  RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

Image Container::Capture(const RECT& rect) {
  UpdateWindow(window_.get());
  Image image;
  image.width = rect.right - rect.left;
  image.height = rect.bottom - rect.top;
  if (image.width <= 0 || image.height <= 0) return image;

  BITMAPINFO info = TopDown32BitInfo(image.width, image.height);

  WindowDc source(window_.get());
  UniqueMemoryDc memory(CreateCompatibleDC(source.get()));
  void* bits = nullptr;
  UniqueBitmap target(CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !target) throw HostError("creating the capture bitmap", E_OUTOFMEMORY);
  {
    SelectedObject selected(memory.get(), target.get());
    if (!BitBlt(memory.get(), 0, 0, image.width, image.height, source.get(), rect.left, rect.top, SRCCOPY))
      ThrowLastError("BitBlt");
    GdiFlush();
  }
  const auto* first = static_cast<const Pixel*>(bits);
  image.pixels.assign(first, first + static_cast<size_t>(image.width) * image.height);
  // The top byte of a 32-bit DIB pixel is undefined after BitBlt.
  for (Pixel& pixel : image.pixels) pixel &= 0x00FFFFFF;
  return image;
}

LRESULT Container::SendMouse(UINT message, POINT point, WPARAM keys) {
  return SendMessageW(window_.get(), message, keys, MAKELPARAM(point.x, point.y));
}

void Container::PaintBackground(HDC dc, const RECT& area) const {
  UniqueBrush light(CreateSolidBrush(kCheckerLight));
  UniqueBrush dark(CreateSolidBrush(kCheckerDark));
  const int first_column = std::max(0L, area.left) / kCheckerCell;
  const int first_row = std::max(0L, area.top) / kCheckerCell;
  for (int row = first_row; row * kCheckerCell < area.bottom; ++row) {
    for (int column = first_column; column * kCheckerCell < area.right; ++column) {
      const RECT cell{column * kCheckerCell, row * kCheckerCell, (column + 1) * kCheckerCell, (row + 1) * kCheckerCell};
      FillRect(dc, &cell, (row + column) % 2 == 0 ? light.get() : dark.get());
    }
  }
}

void Container::SetCaptureOwner(Site& site, bool capture) {
  if (capture) {
    capture_owner_ = &site;
    ::SetCapture(window_.get());
  } else if (capture_owner_ == &site) {
    // Cleared before ReleaseCapture, whose WM_CAPTURECHANGED must find no owner left.
    capture_owner_ = nullptr;
    ::ReleaseCapture();
  }
}

void Container::SetFocusOwner(Site& site, bool focus) {
  if (focus) {
    focus_owner_ = &site;
    ::SetFocus(window_.get());
  } else if (focus_owner_ == &site) {
    focus_owner_ = nullptr;
  }
}

HostedControl* Container::Owner(const Site* site) const {
  for (const auto& control : controls_) {
    if (&control->GetSite() == site) return control.get();
  }
  return nullptr;
}

HostedControl* Container::ControlAt(POINT point) const {
  // The last control added is on top.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    const Site& site = (*it)->GetSite();
    if (site.InPlaceActive() && site.Windowless() && (*it)->Hit(point)) return it->get();
  }
  return nullptr;
}

HostedControl* Container::MouseTarget(POINT point) const {
  if (HostedControl* holder = Owner(capture_owner_)) return holder;
  return ControlAt(point);
}

LRESULT CALLBACK Container::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Container*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  // Messages sent while the window is created or destroyed find no hosted control to reach.
  if (!self || !self->window_) return DefWindowProcW(window, message, wparam, lparam);
  return self->Handle(message, wparam, lparam);
}

LRESULT Container::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND window = window_.get();
  if (message == kPostedMarker) {
    ++posted_markers_seen_;
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    Paint(dc, paint.rcPaint);
    EndPaint(window, &paint);
    return 0;
  }
  if (message == WM_PRINTCLIENT) {
    // A windowed control asks for what lies beneath it this way, to draw itself over it.
    RECT area{};
    if (GetClipBox(reinterpret_cast<HDC>(wparam), &area) == ERROR) area = ClientRect();
    Paint(reinterpret_cast<HDC>(wparam), area);
    return 0;
  }
  if (message == WM_CAPTURECHANGED) {
    if (reinterpret_cast<HWND>(lparam) != window) capture_owner_ = nullptr;
    return 0;
  }
  if (IsMouseMessage(message)) {
    if (HostedControl* target = MouseTarget({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}))
      return target->Forward(message, wparam, lparam);
  } else if (GoesToFocus(message)) {
    if (HostedControl* target = Owner(focus_owner_)) return target->Forward(message, wparam, lparam);
  } else if (message == WM_SETCURSOR && reinterpret_cast<HWND>(wparam) == window && LOWORD(lparam) == HTCLIENT) {
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    if (HostedControl* target = MouseTarget(cursor)) return target->Forward(message, wparam, lparam);
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void Container::Paint(HDC dc, const RECT& area) {
  PaintBackground(dc, area);
  for (const auto& control : controls_) {
    const Site& site = control->GetSite();
    RECT overlap;
    if (site.InPlaceActive() && site.Windowless() && IntersectRect(&overlap, &site.Rect(), &area)) control->Draw(dc);
  }
}

}  // namespace cardel::host
