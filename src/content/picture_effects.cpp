#include "content/picture_effects.h"

namespace cardel {

ColourMatrix PictureColourMatrix(const PictureColourEffects& e) {
  ColourMatrix m{};
  if (e.colorize) {
    const float tint[3] = {e.red / 255.0f, e.green / 255.0f, e.blue / 255.0f};
    for (int c = 0; c < 3; ++c) {
      m[0][c] = tint[c];
      m[4][c] = tint[c];
    }
  } else {
    m[0][0] = m[1][1] = m[2][2] = 1.0f;
  }
  m[3][3] = e.opacity / 100.0f;
  m[4][4] = 1.0f;
  if (e.contrast != 0) {
    const float v = e.contrast;
    m[0][0] = m[1][1] = m[2][2] = v + 1.0f;
    m[4][0] = m[4][1] = m[4][2] = -v * 0.5f;
  }
  if (e.brightness != 0) {
    for (int c = 0; c < 3; ++c) m[4][c] += e.brightness / 100.0f;
  }
  if (e.grayscale) {
    const float weight[3] = {0.299f, 0.587f, 0.114f};
    for (int row = 0; row < 3; ++row) {
      for (int c = 0; c < 3; ++c) m[row][c] = weight[row];
    }
  }
  return m;
}

}  // namespace cardel
