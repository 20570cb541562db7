#include "content/icon_code.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

namespace cardel {
namespace {

using ole::RuntimeError;

struct Outcome {
  std::optional<int32_t> code;
  std::optional<RuntimeError> error;
};
Outcome Gives(int32_t code) { return {code, std::nullopt}; }
Outcome Fails(RuntimeError error) { return {std::nullopt, error}; }

struct ParseCase {
  const wchar_t* text;
  Outcome expected;
  const wchar_t* separator = L".";
};

std::ostream& operator<<(std::ostream& os, const ParseCase& c) {
  std::wstring w(c.text);
  return os << '"' << std::string(w.begin(), w.end()) << "\" with separator \""
            << static_cast<char>(c.separator[0]) << '"';
}

class ParseIconCharCodeTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseIconCharCodeTest, GivesCodeOrError) {
  const ParseCase& c = GetParam();
  const IconCodeParse result = ParseIconCharCode(c.text, c.separator);
  EXPECT_EQ(result.error, c.expected.error);
  if (c.expected.code) {
    EXPECT_EQ(result.code, *c.expected.code);
  }
}

const Outcome kMismatch = Fails(RuntimeError::TypeMismatch);
const Outcome kOverflow = Fails(RuntimeError::Overflow);

INSTANTIATE_TEST_SUITE_P(HexadecimalForms, ParseIconCharCodeTest, testing::Values(
    ParseCase{L"U+F101", Gives(0xF101)},
    ParseCase{L"u+f101", Gives(0xF101)},
    ParseCase{L"&HF101", Gives(0xF101)},
    ParseCase{L"F101", Gives(0xF101)},
    ParseCase{L"F 101", Gives(0xF101)},
    ParseCase{L" U + 1F600 ", Gives(0x1F600)},
    ParseCase{L"U+1E00", Gives(0x1E00)},
    ParseCase{L"1E", Gives(0x1E)},
    ParseCase{L"E5", Gives(0xE5)},
    ParseCase{L"&H7FFFFFFF", Gives(INT32_MAX)},
    ParseCase{L"&HFFFFFFFF", Gives(-1)},
    ParseCase{L"&H80000000", Gives(INT32_MIN)},
    ParseCase{L"&H0000000041", Gives(0x41)},
    ParseCase{L"&H123456789", kOverflow},
    ParseCase{L"123456789A", kOverflow},
    ParseCase{L"&H", kMismatch},
    ParseCase{L"U+", kMismatch},
    ParseCase{L"U+U+41", kMismatch},
    ParseCase{L"0x41", kMismatch},
    ParseCase{L"&H-1", kMismatch},
    ParseCase{L"&H12345678Z", kMismatch},
    ParseCase{L"", kMismatch},
    ParseCase{L"XYZ", kMismatch},
    ParseCase{L"\t41", kMismatch}));

INSTANTIATE_TEST_SUITE_P(DecimalForms, ParseIconCharCodeTest, testing::Values(
    ParseCase{L"59393", Gives(59393)},
    ParseCase{L"0", Gives(0)},
    ParseCase{L"+65", Gives(65)},
    ParseCase{L"-1", Gives(-1)},
    ParseCase{L"1E00", Gives(1)},
    ParseCase{L"1e3", Gives(1000)},
    ParseCase{L"1E+3", Gives(1000)},
    ParseCase{L"6.1697E4", Gives(61697)},
    ParseCase{L"0E999999999999999999", Gives(0)},
    ParseCase{L"1E-999999999999999999", Gives(0)},
    ParseCase{L"2147483647", Gives(INT32_MAX)},
    ParseCase{L"-2147483648", Gives(INT32_MIN)},
    ParseCase{L"2147483648", kOverflow},
    ParseCase{L"-2147483649", kOverflow},
    ParseCase{L"1E10", kOverflow},
    ParseCase{L"1E999999999999999999", kOverflow},
    ParseCase{L"1E+", kMismatch},
    ParseCase{L"+", kMismatch},
    ParseCase{L"-F", kMismatch},
    ParseCase{L".", kMismatch}));

// Fractions round to nearest with ties to even, decided on the exact decimal digits.
INSTANTIATE_TEST_SUITE_P(Rounding, ParseIconCharCodeTest, testing::Values(
    ParseCase{L"0.5", Gives(0)},
    ParseCase{L"1.5", Gives(2)},
    ParseCase{L"2.5", Gives(2)},
    ParseCase{L"-2.5", Gives(-2)},
    ParseCase{L"2.51", Gives(3)},
    ParseCase{L"0.50000000000000000001", Gives(1)},
    ParseCase{L".7", Gives(1)},
    ParseCase{L"2147483647.5", kOverflow},
    ParseCase{L"-2147483648.5", Gives(INT32_MIN)}));

// Only the locale's own decimal separator makes a decimal number; another one leaves the text to
// be read as hexadecimal digits, which it is not.
INSTANTIATE_TEST_SUITE_P(LocaleSeparator, ParseIconCharCodeTest, testing::Values(
    ParseCase{L"1,5", Gives(2), L","},
    ParseCase{L"1.5", kMismatch, L","},
    ParseCase{L"1,5", kMismatch},
    ParseCase{L"F101", Gives(0xF101), L","}));

TEST(ParseIconCharCodeUserLocale, ReadsFormsThatNeedNoSeparator) {
  EXPECT_EQ(ParseIconCharCode(L"U+E001").code, 0xE001);
  EXPECT_EQ(ParseIconCharCode(L"59393").code, 59393);
  EXPECT_EQ(ParseIconCharCode(L"1E00").code, 1);
  EXPECT_EQ(ParseIconCharCode(L"XYZ").error, RuntimeError::TypeMismatch);
}

TEST(FormatIconCharCode, WritesAllBitsWithoutLeadingZeros) {
  const struct {
    int32_t code;
    const wchar_t* text;
  } cases[] = {
      {0, L"&H0"},          {0xF, L"&HF"},         {61697, L"&HF101"},
      {59393, L"&HE801"},   {0x1F600, L"&H1F600"}, {INT32_MAX, L"&H7FFFFFFF"},
      {-1, L"&HFFFFFFFF"},  {INT32_MIN, L"&H80000000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatIconCharCode(c.code), c.text) << c.code;
    EXPECT_EQ(ParseIconCharCode(FormatIconCharCode(c.code), L".").code, c.code) << c.code;
  }
}

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
      {0xF0001, {wchar_t(0xDB80), wchar_t(0xDC01)}},
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
}

TEST(ChrW2, RejectsCodesBelowTheSigned16BitRange) {
  for (int32_t code : {-32769, -40000, INT32_MIN}) {
    EXPECT_EQ(ChrW2(code).error, RuntimeError::InvalidProcedureCall) << code;
  }
}

}  // namespace
}  // namespace cardel
