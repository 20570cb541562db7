#pragma once
// Sinks that a test connects to a control to see what it tells its clients: property-change notifications
// and events. Each keeps its connection until Disconnect or its own end.
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <vector>

#include "com_object.h"
#include "variant.h"

namespace cardel::host {

// One Advise on a control's connection point, undone by Disconnect or destruction.
class Connection {
 public:
  Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() { Disconnect(); }

  HRESULT Connect(IUnknown* source, REFIID iid, IUnknown* sink);
  void Disconnect() noexcept;
  // Keeps the advise but lets go of the connection point, so the connection no longer holds the source alive.
  void LetGo() noexcept;
  bool Connected() const noexcept { return cookie_ != 0; }

 private:
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

struct PropertyNotification {
  enum class Kind { RequestEdit, Changed };
  Kind kind;
  DISPID id;
};

class PropertyNotifyRecorder {
 public:
  PropertyNotifyRecorder();
  PropertyNotifyRecorder(const PropertyNotifyRecorder&) = delete;
  PropertyNotifyRecorder& operator=(const PropertyNotifyRecorder&) = delete;
  ~PropertyNotifyRecorder();

  HRESULT Connect(IUnknown* control);
  void Disconnect() noexcept;

  // Both kinds, in the order they arrived. OnRequestEdit is always granted.
  const std::vector<PropertyNotification>& Notifications() const noexcept;
  std::vector<DISPID> Changed() const;
  std::vector<DISPID> EditRequests() const;
  void Clear() noexcept;

 private:
  class Sink;
  ComPtr<Sink> sink_;
  Connection connection_;
};

namespace event_id {
inline constexpr DISPID Click = 1;
inline constexpr DISPID DblClick = 2;
inline constexpr DISPID MouseDown = 3;
inline constexpr DISPID MouseMove = 4;
inline constexpr DISPID MouseUp = 5;
inline constexpr DISPID MouseEnter = 6;
inline constexpr DISPID MouseLeave = 7;
inline constexpr DISPID MouseOver = 8;
inline constexpr DISPID MouseOut = 9;
inline constexpr DISPID PrePaint = 10;
inline constexpr DISPID PostPaint = 11;
inline constexpr DISPID KeyPress = 12;
inline constexpr DISPID KeyUp = 13;
inline constexpr DISPID KeyDown = 14;
inline constexpr DISPID OLEDragDrop = 15;
inline constexpr DISPID OLEDragOver = 16;
inline constexpr DISPID PictureDownloadProgress = 17;
inline constexpr DISPID PictureDownloadComplete = 18;
inline constexpr DISPID PictureDownloadError = 19;
}  // namespace event_id

struct EventRecord {
  DISPID id;
  // In declaration order (DISPPARAMS holds them reversed), by-reference values read at the time of the event.
  std::vector<Variant> args;
};

// An event's argument by its position in the declaration, for handlers (DISPPARAMS holds them reversed).
VARIANT& EventArg(DISPPARAMS& params, UINT index);

class EventRecorder {
 public:
  // Runs inside the event, after it was recorded; may write through the by-reference arguments.
  using Handler = std::function<void(DISPID, DISPPARAMS*)>;

  EventRecorder();
  EventRecorder(const EventRecorder&) = delete;
  EventRecorder& operator=(const EventRecorder&) = delete;
  ~EventRecorder();

  // Connects to the control's __ucCardel connection point.
  HRESULT Connect(IUnknown* control);
  void Disconnect() noexcept;
  // Keeps receiving events without holding the control: the control's end disconnects it.
  void LetGo() noexcept { connection_.LetGo(); }
  void SetHandler(Handler handler);

  const std::vector<EventRecord>& Events() const noexcept;
  std::vector<DISPID> Ids() const;
  size_t Count(DISPID id) const;
  void Clear() noexcept;

 private:
  class Sink;
  ComPtr<Sink> sink_;
  Connection connection_;
};

}  // namespace cardel::host
