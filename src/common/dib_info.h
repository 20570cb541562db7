#pragma once
// The format of every off-screen surface the library and its tests draw into: 32 bits a pixel, rows top down,
// so row 0 is the top row in memory as on screen.
#include <windows.h>

namespace cardel {

inline BITMAPINFO TopDown32BitInfo(LONG width, LONG height) noexcept {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace cardel
