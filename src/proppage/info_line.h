#pragma once
// The line under the preview that describes the selected control's picture.
#include <cstddef>
#include <string>

namespace cardel::proppage {

// "File Size: 1,234 Bytes, Dimensions: 64x32", thousands grouped with the user's separator.
std::wstring FormatInfoLine(size_t bytes, long width, long height);

// The count grouped by threes with the user's separator, no decimals, and nothing at all for zero
// (as the "#,###" format of a form runtime writes it).
std::wstring GroupThousands(size_t count);

}  // namespace cardel::proppage
