#pragma once
// The control's events, by DISPID in the event interface.
#include <windows.h>
#include <oaidl.h>

namespace cardel::events {

constexpr DISPID Click = 1;
constexpr DISPID DblClick = 2;
constexpr DISPID MouseDown = 3;
constexpr DISPID MouseMove = 4;
constexpr DISPID MouseUp = 5;
constexpr DISPID MouseEnter = 6;
constexpr DISPID MouseLeave = 7;
constexpr DISPID MouseOver = 8;
constexpr DISPID MouseOut = 9;
constexpr DISPID PrePaint = 10;
constexpr DISPID PostPaint = 11;
constexpr DISPID KeyPress = 12;
constexpr DISPID KeyUp = 13;
constexpr DISPID KeyDown = 14;
constexpr DISPID OLEDragDrop = 15;
constexpr DISPID OLEDragOver = 16;
constexpr DISPID PictureDownloadProgress = 17;
constexpr DISPID PictureDownloadComplete = 18;
constexpr DISPID PictureDownloadError = 19;

}  // namespace cardel::events
