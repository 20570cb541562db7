#include "content/icon_code.h"

#include <windows.h>

#include <algorithm>

namespace cardel {
namespace {

using ole::RuntimeError;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

int HexDigitValue(wchar_t c) {
  if (IsDigit(c)) return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

// Only ASCII letters carry meaning here (hex digits, the prefixes, the exponent), so a full
// Unicode case mapping would gain nothing.
std::wstring Normalize(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c == L' ') continue;
    out.push_back(c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c);
  }
  for (size_t at = out.find(L"U+"); at != std::wstring::npos; at = out.find(L"U+", at + 2)) {
    out.replace(at, 2, L"&H");
  }
  return out;
}

// A decimal number kept as its digits and a power of ten, so that rounding and the range check
// are exact instead of depending on the nearest double.
struct DecimalNumber {
  bool negative = false;
  std::wstring digits;   // without leading zeros; empty for zero
  int64_t exponent = 0;  // value = digits × 10^exponent
};

// Far beyond any exponent that could still round into 32 bits, and small enough that adding a
// digit count cannot overflow.
constexpr int64_t kExponentLimit = 1'000'000'000;

std::optional<DecimalNumber> ReadDecimal(std::wstring_view t, std::wstring_view separator) {
  DecimalNumber n;
  size_t i = 0;
  if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) n.negative = t[i++] == L'-';
  bool anyDigit = false;
  for (; i < t.size() && IsDigit(t[i]); ++i) {
    anyDigit = true;
    if (!n.digits.empty() || t[i] != L'0') n.digits.push_back(t[i]);
  }
  if (!separator.empty() && t.substr(i).starts_with(separator)) {
    for (i += separator.size(); i < t.size() && IsDigit(t[i]); ++i) {
      anyDigit = true;
      if (!n.digits.empty() || t[i] != L'0') n.digits.push_back(t[i]);
      --n.exponent;
    }
  }
  if (!anyDigit) return std::nullopt;
  if (i < t.size() && t[i] == L'E') {
    ++i;
    bool negativeExponent = false;
    if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) negativeExponent = t[i++] == L'-';
    if (i == t.size()) return std::nullopt;
    int64_t e = 0;
    for (; i < t.size() && IsDigit(t[i]); ++i) e = std::min(e * 10 + (t[i] - L'0'), kExponentLimit);
    n.exponent += negativeExponent ? -e : e;
  }
  if (i != t.size()) return std::nullopt;
  return n;
}

IconCodeParse RoundToCode(const DecimalNumber& n) {
  if (n.digits.empty()) return {};
  const int64_t integerDigits = static_cast<int64_t>(n.digits.size()) + n.exponent;
  if (integerDigits > 10) return {0, RuntimeError::Overflow};

  int64_t whole = 0;
  for (int64_t k = 0; k < integerDigits; ++k) {
    const size_t at = static_cast<size_t>(k);
    whole = whole * 10 + (at < n.digits.size() ? n.digits[at] - L'0' : 0);
  }
  // The fraction decides the rounding through its first digit and whether anything follows it.
  const int64_t fractionStart = std::max<int64_t>(integerDigits, 0);
  if (integerDigits >= 0 && fractionStart < static_cast<int64_t>(n.digits.size())) {
    const auto fraction = std::wstring_view(n.digits).substr(static_cast<size_t>(fractionStart));
    const bool beyondHalf = fraction.find_first_not_of(L'0', 1) != std::wstring_view::npos;
    if (fraction[0] > L'5' || (fraction[0] == L'5' && (beyondHalf || whole % 2 != 0))) ++whole;
  }
  if (n.negative) whole = -whole;
  if (whole < INT32_MIN || whole > INT32_MAX) return {0, RuntimeError::Overflow};
  return {static_cast<int32_t>(whole), std::nullopt};
}

IconCodeParse ReadHex(std::wstring_view digits) {
  if (digits.empty()) return {0, RuntimeError::TypeMismatch};
  for (wchar_t c : digits) {
    if (HexDigitValue(c) < 0) return {0, RuntimeError::TypeMismatch};
  }
  // Leading zeros add no bits, so only the significant digits count against the 32-bit limit.
  const size_t first = std::min(digits.find_first_not_of(L'0'), digits.size());
  if (digits.size() - first > 8) return {0, RuntimeError::Overflow};
  uint32_t value = 0;
  for (wchar_t c : digits.substr(first)) value = value << 4 | static_cast<uint32_t>(HexDigitValue(c));
  return {static_cast<int32_t>(value), std::nullopt};
}

std::wstring UserDecimalSeparator() {
  wchar_t buffer[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) > 1) return buffer;
  return L".";
}

}  // namespace

IconCodeParse ParseIconCharCode(std::wstring_view text, std::wstring_view decimalSeparator) {
  const std::wstring t = Normalize(text);
  if (t.starts_with(L"&H")) return ReadHex(std::wstring_view(t).substr(2));
  if (const auto number = ReadDecimal(t, decimalSeparator)) return RoundToCode(*number);
  return ReadHex(t);
}

IconCodeParse ParseIconCharCode(std::wstring_view text) {
  return ParseIconCharCode(text, UserDecimalSeparator());
}

std::wstring FormatIconCharCode(int32_t code) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  auto bits = static_cast<uint32_t>(code);
  std::wstring hex;
  do {
    hex.insert(hex.begin(), kDigits[bits & 0xF]);
    bits >>= 4;
  } while (bits != 0);
  return L"&H" + hex;
}

IconCodeText ChrW2(int32_t charCode) {
  if (charCode < -32768) return {{}, RuntimeError::InvalidProcedureCall};
  if (charCode < 0) return {std::wstring(1, static_cast<wchar_t>(charCode + 65536)), std::nullopt};
  if (charCode <= 0xFFFF) return {std::wstring(1, static_cast<wchar_t>(charCode)), std::nullopt};
  if (charCode > 0x10FFFF) return {};
  const auto offset = static_cast<uint32_t>(charCode - 0x10000);
  const auto high = static_cast<wchar_t>(0xD800 + (offset >> 10));
  const auto low = static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
  return {std::wstring{high, low}, std::nullopt};
}

}  // namespace cardel
