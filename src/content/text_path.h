#pragma once
// Turns laid-out lines into the caption's paths: each line's outlines at its own pen position,
// and the underline, strikeout and hot-key underlines as rectangles in a second path. The rules
// cross the glyphs, and in one path with the alternate fill every crossing would be a hole.
#include <cstddef>
#include <span>
#include <string_view>

#include "common/gdiplus_handles.h"
#include "content/caption_layout.h"
#include "content/text_measure.h"

namespace cardel {

struct PathText {
  std::wstring_view text;          // the text the layout indexes
  std::span<const size_t> marked;  // hot-key positions in text, drawn underlined
  Gdiplus::GpFontFamily* family = nullptr;
  int style = 0;                   // GDI+ font style bits, underline and strikeout included
  float emSize = 0;
};

void AddLaidText(Gdiplus::GpPath* glyphs, Gdiplus::GpPath* rules, const PathText& source, const TextLayout& layout,
                 TextMeasure& measure);

}  // namespace cardel
