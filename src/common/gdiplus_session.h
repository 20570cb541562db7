#pragma once
// One GDI+ start, shut down when the owner ends. Each control instance holds its own, declared
// before every GDI+ object it owns, so GDI+ goes last.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace cardel::gdip {

class Session {
 public:
  Session() noexcept {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
  }

 private:
  ULONG_PTR token_ = 0;
};

}  // namespace cardel::gdip
