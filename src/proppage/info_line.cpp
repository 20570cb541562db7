#include "proppage/info_line.h"

#include <windows.h>

namespace cardel::proppage {

std::wstring GroupThousands(size_t count) {
  if (count == 0) return {};
  wchar_t thousands[8] = L",";
  wchar_t decimal[8] = L".";
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, thousands, ARRAYSIZE(thousands));
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, ARRAYSIZE(decimal));
  // A fixed grouping of three: "#,###" groups so whatever the locale's own grouping is.
  NUMBERFMTW format{0, 0, 3, decimal, thousands, 1};
  const std::wstring digits = std::to_wstring(count);
  wchar_t out[64];
  if (!GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits.c_str(), &format, out, ARRAYSIZE(out))) return digits;
  return out;
}

std::wstring FormatInfoLine(size_t bytes, long width, long height) {
  return L"File Size: " + GroupThousands(bytes) + L" Bytes, Dimensions: " + std::to_wstring(width) + L"x" +
         std::to_wstring(height);
}

}  // namespace cardel::proppage
