#include "content/text_drawing.h"

#include "content/gdiplus_text_measure.h"
#include "content/saved_graphics.h"
#include "content/text_path.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {
namespace {

// The path's outlines carry no hinting, so the widths that place them must not either.
void MeasureUnhinted(GpGraphics* graphics) { GdipSetTextRenderingHint(graphics, TextRenderingHintAntiAlias); }

bool HasPoints(GpPath* path) {
  INT count = 0;
  GdipGetPointCount(path, &count);
  return count > 0;
}

// Glyphs and rules are filled as one shape, so that a translucent caption is not darker where a
// rule crosses a glyph.
void Fill(GpGraphics* graphics, GpBrush* brush, GpPath* glyphs, GpPath* rules) {
  if (!HasPoints(rules)) {
    GdipFillPath(graphics, brush, glyphs);
    return;
  }
  gdip::UniqueRegion shape;
  GdipCreateRegionPath(glyphs, shape.put());
  if (!shape) return;
  GdipCombineRegionPath(shape.get(), rules, CombineModeUnion);
  GdipFillRegion(graphics, brush, shape.get());
}

void Paint(GpGraphics* graphics, GpPath* glyphs, GpPath* rules, const Ink& ink) {
  const gdip::UniqueBrush brush = gdip::SolidFill(ink.fill);
  if (brush) Fill(graphics, brush.get(), glyphs, rules);
  if (ink.outlineWidth <= 0) return;
  const gdip::UniquePen pen = gdip::SolidPen(ink.outline, ink.outlineWidth);
  if (!pen) return;
  GdipDrawPath(graphics, pen.get(), glyphs);
  if (HasPoints(rules)) GdipDrawPath(graphics, pen.get(), rules);
}

std::wstring FamilyName(GpFontFamily* family) {
  WCHAR name[LF_FACESIZE] = {};
  GdipGetFamilyName(family, name, LANG_NEUTRAL);
  return name;
}

}  // namespace

void DrawTextPiece(GpGraphics* graphics, const TextPiece& piece, const Turn& turn, const Ink& ink, KeptPiece* kept) {
  const SavedGraphicsState saved(graphics);
  MeasureUnhinted(graphics);
  LayoutBox box = piece.box;
  if (turn.degrees != 0) {
    box.x -= turn.centreX;
    box.y -= turn.centreY;
  }
  KeptPiece::Source source;
  if (kept)
    source = {std::wstring(piece.text), {piece.marked.begin(), piece.marked.end()}, FamilyName(piece.family),
              piece.style, piece.emSize, piece.options, box};
  const bool same = kept && kept->glyphs_ && kept->source_ == source;
  gdip::UniquePath glyphs, rules;
  if (!same) {
    GdiplusTextMeasure measure(graphics, piece.family, piece.style, piece.emSize, piece.options.wrap, box.width);
    const TextLayout layout = LayOutText(piece.text, box, piece.options, measure);
    GdipCreatePath(FillModeAlternate, glyphs.put());
    GdipCreatePath(FillModeAlternate, rules.put());
    if (!glyphs || !rules) return;
    if (!layout.lines.empty())
      AddLaidText(glyphs.get(), rules.get(), {piece.text, piece.marked, piece.family, piece.style, piece.emSize},
                  layout, measure);
    if (kept) {
      kept->source_ = std::move(source);
      kept->glyphs_ = std::move(glyphs);
      kept->rules_ = std::move(rules);
      ++kept->layouts_;
    }
  }
  GpPath* const glyphPath = kept ? kept->glyphs_.get() : glyphs.get();
  GpPath* const rulePath = kept ? kept->rules_.get() : rules.get();
  if (!HasPoints(glyphPath) && !HasPoints(rulePath)) return;
  if (turn.degrees != 0) {
    // Prepended, so the turn happens in the caller's space and the caller's own transform (the
    // paint origin) still applies on top of it.
    GdipTranslateWorldTransform(graphics, turn.centreX, turn.centreY, MatrixOrderPrepend);
    GdipRotateWorldTransform(graphics, turn.degrees, MatrixOrderPrepend);
  }
  Paint(graphics, glyphPath, rulePath, ink);
}

LayoutBounds MeasureTextPiece(GpGraphics* graphics, const TextPiece& piece) {
  const SavedGraphicsState saved(graphics);
  MeasureUnhinted(graphics);
  GdiplusTextMeasure measure(graphics, piece.family, piece.style, piece.emSize, piece.options.wrap, piece.box.width);
  return BoundsOf(LayOutText(piece.text, piece.box, piece.options, measure), piece.box);
}

}  // namespace cardel
