// The hot line layer of the paint pipeline: the control's properties handed to the band's geometry.
#include "control/uc_cardel.h"
#include "render/colour.h"
#include "render/hot_line.h"
#include "render/paint_context.h"

namespace cardel {

void UcCardel::PaintHotLine(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* outline, const PaintContext& paint) const {
  const IntRect cutout = HotLineCutout({paint.width(), paint.height(),
                                        state_.HotLinePosition, state_.BorderPosition, state_.BorderWidth,
                                        state_.BackShadow != 0, state_.ShadowSize, state_.ShadowOffsetX,
                                        state_.ShadowOffsetY, state_.HotLineWidth, state_.CallOut != 0,
                                        state_.CallOutPosicion, state_.CallOutLen, paint.dpiScale});
  DrawHotLine(graphics, outline, cutout, CheckedArgb(state_.HotLineColor, state_.HotLineColorOpacity));
}

}  // namespace cardel
