#pragma once
// What a paint at the control's own size keeps so that a repaint which changed nothing costs one
// blend: the composed box, and the layers it is composed from, each at the size it is shown. With
// acrylic, the blurred background changes with every paint: what lies under it and over it is kept,
// and each paint blends the three in software before one blend onto the target.
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "content/caption.h"
#include "control/layer_surface.h"
#include "render/box_layout.h"

namespace cardel {

enum class RetainedLayer : uint8_t { Box, Shadow, Picture, Caption, Count };

// Four bytes a pixel: a full-HD control with acrylic and every layer fits; a larger one paints
// directly, as a scaled or printed one does.
inline constexpr int64_t kRetainedPixelBudget = 16LL * 1024 * 1024;

// The pixels a control of this client size keeps at most: the box, the stretched shadow and the
// picture layer; with acrylic also the layer under it, the outline's coverage, the blurred copy, its
// scratch and the blend.
int64_t RetainedPixels(SIZE client, bool acrylic) noexcept;

// What a control of this client size claims from the process's budget: its retained pixels, and the
// blurred shadow images (box, caption) it keeps to build them from, each at most the client's size.
int64_t ClaimedBytes(SIZE client, bool acrylic, int shadowImages) noexcept;

// Whether one control of this client size may keep its layers at all, whatever else the process keeps.
bool MayRetainLayers(SIZE client, bool acrylic) noexcept;

struct RetainedLayers {
  // Every layer, or with acrylic the layers above it, at the client size from (0, 0).
  std::unique_ptr<LayerSurface> box;
  // A dropped box's surface, kept for the next build (LayerSurface::Recycle); the budget counts it as
  // the box.
  std::unique_ptr<LayerSurface> spareBox;
  bool boxAboveAcrylic = false;
  // The colour scheme the layers were drawn in: system colours are resolved as they are drawn.
  uint64_t scheme = 0;
  // The box shadow stretched once to where it is drawn.
  std::unique_ptr<LayerSurface> shadow;
  IntRect shadowAt;
  // The picture with its effects and shadow, cut to the outline, at the client size.
  std::unique_ptr<LayerSurface> picture;
  // The caption's and glyph's outlines as laid out; what they were laid out from says when they are stale.
  KeptCaption caption;
  // Acrylic only: what lies under it when there is no shadow layer (nothing), the outline's coverage
  // (one byte a pixel), and what each paint writes into.
  std::unique_ptr<LayerSurface> under;
  std::vector<uint8_t> coverage;
  std::unique_ptr<LayerSurface> blend;
  std::vector<uint8_t> blurred;
  std::vector<uint8_t> scratch;

  // How often each layer was built, for the control's test hooks.
  std::array<uint32_t, static_cast<size_t>(RetainedLayer::Count)> builds{};

  // What the control shows changed: the composed surfaces go, the layers that did not change stay.
  void DropBox() noexcept;
  void Release() noexcept;
  void NoteBuilt(RetainedLayer layer) noexcept { ++builds[static_cast<size_t>(layer)]; }
};

}  // namespace cardel
