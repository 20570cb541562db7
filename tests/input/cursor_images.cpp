#include "cursor_images.h"

#include <cstdint>
#include <vector>

#include "common/win_handles.h"

namespace cardel::host {
namespace {

struct Parts {
  bool ok = false;
  bool icon = false;
  DWORD hotX = 0, hotY = 0;
  UniqueBitmap mask, colour;
};

Parts Split(HCURSOR cursor) {
  Parts parts;
  ICONINFO info{};
  if (!cursor || !GetIconInfo(cursor, &info)) return parts;
  parts.ok = true;
  parts.icon = info.fIcon != FALSE;
  parts.hotX = info.xHotspot;
  parts.hotY = info.yHotspot;
  parts.mask.reset(info.hbmMask);
  parts.colour.reset(info.hbmColor);
  return parts;
}

std::vector<uint8_t> Bits(HBITMAP bitmap) {
  if (!bitmap) return {};
  BITMAP header{};
  GetObjectW(bitmap, sizeof(header), &header);
  std::vector<uint8_t> bits(static_cast<size_t>(header.bmWidthBytes) * header.bmHeight);
  GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
  return bits;
}

}  // namespace

bool IsLiveCursor(HCURSOR cursor) { return Split(cursor).ok; }

bool SameCursorImage(HCURSOR a, HCURSOR b) {
  const Parts x = Split(a);
  const Parts y = Split(b);
  return x.ok && y.ok && x.icon == y.icon && x.hotX == y.hotX && x.hotY == y.hotY &&
         Bits(x.mask.get()) == Bits(y.mask.get()) && Bits(x.colour.get()) == Bits(y.colour.get());
}

}  // namespace cardel::host
