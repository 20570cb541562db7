#pragma once
// The icon character code as users write it and as the icon font needs it: the text forms the
// IconCharCode setter accepts, the text its getter returns, and the UTF-16 text of a code (ChrW2).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ole/errors.h"

namespace cardel {

// A parsed code, or the run-time error the setter must raise instead of storing it.
struct IconCodeParse {
  int32_t code = 0;
  std::optional<ole::RuntimeError> error;
};

// The text of a code, or the run-time error ChrW2 must raise instead of returning it.
struct IconCodeText {
  std::wstring text;
  std::optional<ole::RuntimeError> error;
};

// Reads "U+F101", "&HF101", "F101", "F 101", "61697" or "6.1697E4" (any letter case). Text that
// reads as a decimal number is decimal, anything else is hexadecimal digits; decimalSeparator is
// the separator the user's locale writes in numbers.
IconCodeParse ParseIconCharCode(std::wstring_view text, std::wstring_view decimalSeparator);

// As above with the decimal separator of the user's default locale.
IconCodeParse ParseIconCharCode(std::wstring_view text);

// "&H" and the code's 32 bits in upper-case hexadecimal without leading zeros.
std::wstring FormatIconCharCode(int32_t code);

// One UTF-16 unit up to 0xFFFF, a surrogate pair up to 0x10FFFF, and the unit code + 65536 for
// -32768..-1. Codes above 0x10FFFF are no character, so they give the empty text.
IconCodeText ChrW2(int32_t charCode);

}  // namespace cardel
