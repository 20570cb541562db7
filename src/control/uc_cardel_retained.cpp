// The host's paint at the control's own size: the composed box is blended in from its retained
// surface, rebuilt only after something it shows changed (DropBoxAndRepaint, a resize, a load). Acrylic
// blurs what the host painted beneath on every paint and blends it between the retained layers.
#include <algorithm>
#include <new>

#include "common/system_colours.h"
#include "control/shadow_input.h"
#include "control/uc_cardel.h"
#include "render/acrylic.h"
#include "render/acrylic_blur.h"
#include "render/acrylic_compose.h"
#include "render/box_paint.h"
#include "render/outline_path.h"
#include "render/paint_context.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace cardel {
namespace {

// Runs draw with the surface's Graphics; false when GDI+ cannot make one.
template <class Draw>
bool DrawOn(const LayerSurface& surface, Draw&& draw) {
  const gdip::UniqueGraphics graphics = surface.Graphics();
  if (!graphics) return false;
  draw(graphics.get());
  return true;
}

template <class T>
std::span<T> PixelsOf(const LayerSurface& surface) noexcept {
  return {static_cast<T*>(surface.Bits()), surface.PixelCount()};
}

}  // namespace

void UcCardel::PaintRetained(HDC target, SIZE client, POINT at, HDC backdrop) {
  const bool acrylic = state_.BackAcrylicBlur != 0;
  RestoreGivenUpShadow();
  FollowColourScheme();
  // The user changed the colour scheme: the box is composed again in the colours it now has.
  if (retained_.box && retained_.scheme != SystemColourScheme()) retained_.DropBox();
  // A warm paint works nothing out: the layout is only needed to build.
  // With acrylic, what lies under it is the shadow layer when there is one, else a layer of its own.
  if (!retained_.box || retained_.boxAboveAcrylic != acrylic || !retained_.box->HasSize(client) ||
      (acrylic && !retained_.under && !retained_.shadow))
    BuildRetainedBox(MakePaintContext({client, OutlineInputFrom(state_, dpiScale_), ShadowFrom(state_),
                                       state_.BackShadow == VARIANT_TRUE}),
                     acrylic);
  // Without room for a surface the paint is drawn as it always could be.
  if (!retained_.box || (acrylic && !ComposeAcrylicPaint(backdrop, client))) {
    RenderBox(target, nullptr, client, at.x, at.y, {}, backdrop);
    return;
  }
  (acrylic ? *retained_.blend : *retained_.box).BlendAt(target, at);
}

void UcCardel::BuildRetainedBox(const PaintContext& paint, bool acrylic) {
  retained_.DropBox();
  const LayerSurface* shadow = ShadowLayer(paint);
  std::unique_ptr<LayerSurface> box = LayerSurface::Recycle(std::move(retained_.spareBox), paint.client);
  if (!box) return;
  // The shadow is the bottom layer: over a transparent box, blending it is copying it.
  if (shadow && !acrylic) {
    GdiFlush();
    std::ranges::copy(PixelsOf<const uint32_t>(*shadow), PixelsOf<uint32_t>(*box).begin());
  }
  const LayerPass pass{.underAcrylic = false, .aboveAcrylic = true, .retained = true};
  if (!DrawOn(*box, [&](GpGraphics* graphics) {
        if (!shadow && !acrylic) DrawBoxShadow(graphics, paint);
        RenderLayers(graphics, paint, pass);
      }))
    return;
  if (acrylic) {
    std::unique_ptr<LayerSurface> under;
    if (!shadow) {
      under = LayerSurface::Make(paint.client);
      if (!under) return;
    }
    // The outline's coverage, as the acrylic layer's fill of the outline would cover each pixel.
    const std::unique_ptr<LayerSurface> mask = LayerSurface::Make(paint.client);
    const gdip::UniquePath path = CreateOutlinePath(paint.shape);
    if (!mask || !path ||
        !DrawOn(*mask, [&](GpGraphics* graphics) {
          FillBackground(graphics, path.get(), BackgroundFill{.solid = 0xFFFFFFFF});
        }))
      return;
    GdiFlush();
    const std::span<const uint32_t> covered = PixelsOf<const uint32_t>(*mask);
    retained_.coverage.resize(covered.size());
    for (size_t i = 0; i < covered.size(); ++i) retained_.coverage[i] = static_cast<uint8_t>(covered[i] >> 24);
    retained_.under = std::move(under);
  }
  retained_.box = std::move(box);
  retained_.boxAboveAcrylic = acrylic;
  retained_.scheme = SystemColourScheme();
  retained_.NoteBuilt(RetainedLayer::Box);
}

bool UcCardel::ComposeAcrylicPaint(HDC backdrop, SIZE client) {
  if (backdrop && acrylicDc_) CaptureAcrylic(acrylicDc_.get(), backdrop, client);
  DIBSECTION dib{};
  if (!acrylicBitmap_ || GetObjectW(acrylicBitmap_.get(), sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits ||
      dib.dsBm.bmBitsPixel != 32 || dib.dsBm.bmWidth != client.cx || dib.dsBm.bmHeight != client.cy)
    return false;
  const size_t bytes = static_cast<size_t>(client.cx) * static_cast<size_t>(client.cy) * 4;
  try {
    retained_.blurred.resize(bytes);
    retained_.scratch.resize(bytes);
  } catch (const std::bad_alloc&) {
    return false;
  }
  // The capture may still sit in GDI's batch; the pixels must be there before they are read.
  GdiFlush();
  // The capture stays as it is, so a Draw without a fresh capture blurs the same background.
  const std::span<uint8_t> captured(static_cast<uint8_t*>(dib.dsBm.bmBits), bytes);
  GaussianBlurFrom({captured, client.cx, client.cy}, {retained_.blurred, client.cx, client.cy}, retained_.scratch,
                   kAcrylicBlurRadius);
  if (!retained_.blend || !retained_.blend->HasSize(client)) {
    retained_.blend = LayerSurface::Make(client);
    if (!retained_.blend) return false;
  }
  GdiFlush();
  const std::span<const uint32_t> blurred(reinterpret_cast<const uint32_t*>(retained_.blurred.data()), bytes / 4);
  ComposeAcrylic({PixelsOf<const uint32_t>(retained_.under ? *retained_.under : *retained_.shadow), blurred,
                  retained_.coverage,
                  PixelsOf<const uint32_t>(*retained_.box)},
                 PixelsOf<uint32_t>(*retained_.blend));
  return true;
}

void UcCardel::DropBoxAndRepaint() noexcept {
  retained_.DropBox();
  Refresh();
}

// A host that writes an attribute on the font it was given expects the next paint to show it; the
// control is not repainted, as it never was for such a write.
void UcCardel::FontChanged(void* control) noexcept {
  auto* self = static_cast<UcCardel*>(control);
  self->captionShadowDirty_ = true;
  self->retained_.DropBox();
}

void UcCardel::OnHide() noexcept {
  retainedClaim_.Leave();
  retained_.Release();
}

bool UcCardel::KeepsLayers(SIZE client) noexcept {
  const bool acrylic = state_.BackAcrylicBlur != 0;
  const int shadowImages = (state_.BackShadow == VARIANT_TRUE) + (state_.CaptionShadow && !caption_.empty());
  if (MayRetainLayers(client, acrylic) && retainedClaim_.Claim(ClaimedBytes(client, acrylic, shadowImages)))
    return true;
  retainedClaim_.Leave();
  retained_.Release();
  return false;
}

// The images the layers are built from go too: a large control's blurred shadows weigh as much as two
// of its layers. They come back at its next paint.
void UcCardel::GiveUpLayers(void* control) noexcept {
  auto* self = static_cast<UcCardel*>(control);
  self->retained_.Release();
  self->DropPictureLayer();
  self->captionShadowImage_.reset();
  self->captionShadowDirty_ = true;
  if (self->boxShadowImage_) {
    self->boxShadowImage_.reset();
    self->boxShadowGivenUp_ = true;
  }
}

void UcCardel::RestoreGivenUpShadow() noexcept {
  if (boxShadowGivenUp_) BuildBoxShadow();
}

}  // namespace cardel
