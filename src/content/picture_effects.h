#pragma once
// The picture's colour effects as one GDI+ colour matrix. A pixel is the row vector [r g b a 1]
// (components 0..1) times the matrix; each effect writes its own entries in a fixed order, so a later
// effect may replace what an earlier one wrote.
#include <array>
#include <cstdint>

namespace cardel {

using ColourMatrix = std::array<std::array<float, 5>, 5>;

struct PictureColourEffects {
  bool colorize = false;
  // The colourising colour's channels, 0..255.
  uint8_t red = 0, green = 0, blue = 0;
  int16_t opacity = 100;     // 0..100
  int16_t contrast = 0;      // used as it is: 1 doubles the contrast about mid-grey
  int16_t brightness = 0;    // percent of full scale added to each colour channel
  bool grayscale = false;
};

// Colourise (driven by the red input alone, tint added as an offset), then opacity, then contrast
// (replacing the colour scale and the offsets), then brightness (added to the offsets), then
// grayscale (replacing the colour scale, keeping the offsets).
ColourMatrix PictureColourMatrix(const PictureColourEffects& effects);

}  // namespace cardel
