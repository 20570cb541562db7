#include "backdrop.h"

#include "common/win_handles.h"

namespace cardel::bench {
namespace {

void FillCells(HDC dc, int width, int height, int cell, COLORREF light, COLORREF dark, int every) {
  const UniqueBrush lightBrush(CreateSolidBrush(light)), darkBrush(CreateSolidBrush(dark));
  for (int row = 0; row * cell < height; ++row)
    for (int column = 0; column * cell < width; ++column) {
      if ((row + column) % every) continue;
      const RECT r{column * cell, row * cell, (column + 1) * cell, (row + 1) * cell};
      FillRect(dc, &r, row % 2 ? darkBrush.get() : lightBrush.get());
    }
}

}  // namespace

Backdrop::Backdrop(int width, int height) : surface_(width, height, 0xF0E8E0) {
  const HDC dc = surface_.Dc();
  for (int x = 0; x < width; x += 24) {
    const UniqueBrush stripe(CreateSolidBrush(RGB(x * 7 % 256, 160, 255 - x * 3 % 256)));
    const RECT r{x, 0, x + 9, height};
    FillRect(dc, &r, stripe.get());
  }
  FillCells(dc, width, height, 8, RGB(0x33, 0x66, 0x99), RGB(0xCC, 0x33, 0x33), 3);
  FillCells(dc, width, height, 40, RGB(0x10, 0x10, 0x10), RGB(0xFF, 0xFF, 0xFF), 7);
  GdiFlush();
}

void Backdrop::CopyTo(const host::DibSurface& target) const {
  BitBlt(target.Dc(), 0, 0, surface_.Width(), surface_.Height(), surface_.Dc(), 0, 0, SRCCOPY);
  GdiFlush();
}

}  // namespace cardel::bench
