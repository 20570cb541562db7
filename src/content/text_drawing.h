#pragma once
// One piece of text (the caption or the icon glyph) laid out from GDI+'s measurements, turned
// into a path, turned about its centre and painted: the code path both share.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/gdiplus_handles.h"
#include "content/caption_geometry.h"
#include "content/caption_layout.h"

namespace cardel {

struct TextPiece {
  std::wstring_view text;
  std::span<const size_t> marked;  // hot-key positions in text
  Gdiplus::GpFontFamily* family = nullptr;
  int style = 0;                   // GDI+ font style bits
  float emSize = 0;                // pixels
  LayoutOptions options;
  LayoutBox box;
};

struct Ink {
  uint32_t fill = 0;     // ARGB
  uint32_t outline = 0;  // ARGB
  float outlineWidth = 0;  // pixels, whatever the DPI; 0 draws no outline
};

// A piece's outlines kept from one paint to the next, with what they were laid out from: laying text
// out is most of what drawing it costs, and only the text, its font and its box change the outlines.
class KeptPiece {
 public:
  // How many times the outlines were laid out into this record.
  uint32_t Layouts() const noexcept { return layouts_; }

 private:
  friend void DrawTextPiece(Gdiplus::GpGraphics*, const TextPiece&, const Turn&, const Ink&, KeptPiece*);
  // What the outlines depend on: the piece with its family by name, and the box it was laid out in.
  struct Source {
    std::wstring text;
    std::vector<size_t> marked;
    std::wstring family;
    int style = 0;
    float emSize = 0;
    LayoutOptions options;
    LayoutBox box;
    friend bool operator==(const Source&, const Source&) = default;
  };
  Source source_;
  gdip::UniquePath glyphs_, rules_;
  uint32_t layouts_ = 0;
};

// The Graphics is left as it was found. With kept, outlines laid out for the same text, font and box
// are drawn again rather than laid out anew; kept is for one kind of Graphics only, since measuring
// depends on it. May throw std::bad_alloc when kept cannot hold a new piece.
void DrawTextPiece(Gdiplus::GpGraphics* graphics, const TextPiece& piece, const Turn& turn, const Ink& ink,
                   KeptPiece* kept = nullptr);

// The box GDI+ reports for the piece laid out in its box: no turning, nothing drawn.
LayoutBounds MeasureTextPiece(Gdiplus::GpGraphics* graphics, const TextPiece& piece);

}  // namespace cardel
