#pragma once
// Text that other programs hand over in the ANSI code page.
#include <string>
#include <string_view>

namespace cardel::input {

std::wstring AnsiToWide(std::string_view ansi);

}  // namespace cardel::input
