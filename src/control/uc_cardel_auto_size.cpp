// AutoSize: the caption measured exactly as the renderer lays it out, the room around it added,
// and the container asked for the size that holds both. A one-shot fit, applied when AutoSize is
// set to True and when the caption changes while it is.
#include <new>

#include "common/checked_int.h"
#include "common/ole_units.h"
#include "common/win_handles.h"
#include "content/auto_size.h"
#include "content/caption.h"
#include "control/uc_cardel.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;
using ole::RuntimeError;

namespace cardel {
namespace {

// Wider than any line the screen can show, so a caption without word wrap stays on one line.
int32_t ScreenWidthInTwips() noexcept {
  const int dpi = ScreenPixelsPerInch().cx;
  return PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi > 0 ? dpi : 96);
}

}  // namespace

HRESULT UcCardel::ApplyAutoSize() noexcept {
  // The container lays out and repaints inside the resize request; its handlers may release the control.
  const Microsoft::WRL::ComPtr<IUnknown> alive(Outer());
  SIZE size{};
  if (const HRESULT measured = Guard([&] {
        const SIZE client = ClientSize();
        const AutoSizeRoom room =
            ScaledRoom({state_.CaptionPaddingX, state_.CaptionPaddingY, state_.BorderWidth, state_.BackShadow != 0,
                        state_.ShadowSize, state_.CallOut != 0, state_.CallOutPosicion, state_.CallOutLen},
                       dpiScale_);
        // GDI+ measures text alike on any surface; a 1 x 1 one is there even for a control too small
        // or too large to have a bitmap of its own size.
        gdip::UniqueBitmap surface;
        GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat32bppPARGB, nullptr, surface.put());
        gdip::UniqueGraphics graphics;
        if (surface) GdipGetImageGraphicsContext(surface.get(), graphics.put());
        const int32_t layoutWidth =
            state_.WordWrap ? (CheckedInt(client.cx) - room.width).value() : ScreenWidthInTwips();
        BodyRect caption{0, 0, layoutWidth, 0};
        DrawCaption(graphics.get(), caption, MakeCaptionInputs(client), CaptionPass::Measure);
        size = FittedClientSize(room, SIZE{caption.width, caption.height});
        return S_OK;
      });
      FAILED(measured))
    return measured;
  const HRESULT hr = RequestResize(size);
  if (FAILED(hr)) return ole::RaiseError(hr, L"The container did not resize the control", IID__ucCardel);
  return S_OK;
}

}  // namespace cardel
