#pragma once
// What is left of a line that does not fit: GDI+'s trimming modes, decided from GDI+'s own
// widths, because the text-to-path call of some GDI+ builds (Wine's) never trims.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "content/text_measure.h"

namespace cardel {

// Positions relative to the line that was trimmed.
struct TrimResult {
  size_t headLength = 0;
  bool ellipsis = false;
  size_t tailStart = 0;
  size_t tailLength = 0;
};

// room: the width the line may take. hidesText: text after this line is not shown, which an
// ellipsis mode must mark even when the line itself fits. StringTrimming None and unknown modes
// keep the whole line. Word modes fall back to characters when not even one word fits, and path
// ellipsis keeps the part after the last path separator, or trims like character ellipsis when
// there is none or it cannot be kept.
TrimResult TrimLine(std::wstring_view line, float room, int32_t trimming, bool hidesText, TextMeasure& measure);

}  // namespace cardel
