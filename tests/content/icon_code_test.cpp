#include "content/icon_code.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace cardel {
namespace {

using ole::RuntimeError;

constexpr auto kMismatch = RuntimeError::TypeMismatch;
constexpr auto kOverflow = RuntimeError::Overflow;

// Hexadecimal with or without a prefix, decimal with exponent and fraction (rounded half to even on
// the exact digits), and only the given decimal separator makes a number decimal.
TEST(ParseIconCharCode, GivesTheCodeOrTheError) {
  const struct {
    const wchar_t* text;
    std::optional<int32_t> code;
    std::optional<RuntimeError> error;
    const wchar_t* separator = L".";
  } cases[] = {
      {L"U+F101", 0xF101},       {L"u+f101", 0xF101},      {L"&HF101", 0xF101},     {L"F 101", 0xF101},
      {L" U + 1F600 ", 0x1F600}, {L"E5", 0xE5},            {L"&HFFFFFFFF", -1},     {L"&H80000000", INT32_MIN},
      {L"&H0000000041", 0x41},   {L"&H123456789", {}, kOverflow},                   {L"123456789A", {}, kOverflow},
      {L"&H", {}, kMismatch},    {L"U+U+41", {}, kMismatch}, {L"0x41", {}, kMismatch}, {L"&H-1", {}, kMismatch},
      {L"&H12345678Z", {}, kMismatch}, {L"", {}, kMismatch}, {L"\t41", {}, kMismatch},
      {L"59393", 59393},         {L"+65", 65},             {L"-1", -1},             {L"1E00", 1},
      {L"1E+3", 1000},           {L"6.1697E4", 61697},     {L"0E999999999999999999", 0},
      {L"1E-999999999999999999", 0}, {L"-2147483648", INT32_MIN}, {L"2147483648", {}, kOverflow},
      {L"1E10", {}, kOverflow},  {L"1E999999999999999999", {}, kOverflow},       {L"1E+", {}, kMismatch},
      {L"-F", {}, kMismatch},    {L".", {}, kMismatch},
      {L"0.5", 0},               {L"1.5", 2},              {L"2.5", 2},             {L"-2.5", -2},
      {L"2.51", 3},              {L"0.50000000000000000001", 1}, {L".7", 1},      {L"2147483647.5", {}, kOverflow},
      {L"-2147483648.5", INT32_MIN},
      {L"1,5", 2, {}, L","},     {L"1.5", {}, kMismatch, L","}, {L"1,5", {}, kMismatch}, {L"F101", 0xF101, {}, L","},
  };
  for (const auto& c : cases) {
    const IconCodeParse result = ParseIconCharCode(c.text, c.separator);
    const std::wstring text(c.text);
    SCOPED_TRACE(std::string(text.begin(), text.end()) + " with separator " + char(c.separator[0]));
    EXPECT_EQ(result.error, c.error);
    if (c.code) {
      EXPECT_EQ(result.code, *c.code);
    }
  }
  EXPECT_EQ(ParseIconCharCode(L"U+E001").code, 0xE001);  // the user's locale
  EXPECT_EQ(ParseIconCharCode(L"1E00").code, 1);
  EXPECT_EQ(ParseIconCharCode(L"XYZ").error, kMismatch);
}

TEST(FormatIconCharCode, WritesAllBitsWithoutLeadingZerosAndReadsBack) {
  const struct {
    int32_t code;
    const wchar_t* text;
  } cases[] = {{0, L"&H0"}, {61697, L"&HF101"}, {0x1F600, L"&H1F600"}, {INT32_MAX, L"&H7FFFFFFF"},
               {-1, L"&HFFFFFFFF"}, {INT32_MIN, L"&H80000000"}};
  for (const auto& c : cases) {
    EXPECT_EQ(FormatIconCharCode(c.code), c.text) << c.code;
    EXPECT_EQ(ParseIconCharCode(FormatIconCharCode(c.code), L".").code, c.code) << c.code;
  }
}

// Codes in the signed 16-bit range are one unit, up to 0x10FFFF a surrogate pair, beyond nothing;
// below -32768 an error.
TEST(ChrW2, GivesUtf16UnitsOfTheCode) {
  const struct {
    int32_t code;
    std::wstring units;
  } cases[] = {
      {65, L"A"},
      {0, std::wstring(1, L'\0')},
      {0xFFFF, {wchar_t(0xFFFF)}},
      {0x10000, {wchar_t(0xD800), wchar_t(0xDC00)}},
      {0x1F600, {wchar_t(0xD83D), wchar_t(0xDE00)}},
      {0x10FFFF, {wchar_t(0xDBFF), wchar_t(0xDFFF)}},
      {-1, {wchar_t(0xFFFF)}},
      {-32768, {wchar_t(0x8000)}},
      {0x110000, L""},
      {INT32_MAX, L""},
  };
  for (const auto& c : cases) {
    const IconCodeText result = ChrW2(c.code);
    EXPECT_FALSE(result.error.has_value()) << c.code;
    EXPECT_EQ(result.text, c.units) << c.code;
  }
  for (int32_t code : {-32769, INT32_MIN}) EXPECT_EQ(ChrW2(code).error, RuntimeError::InvalidProcedureCall) << code;
}

}  // namespace
}  // namespace cardel
