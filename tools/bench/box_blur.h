#pragma once
// The bench's own Gaussian-like blur, three box blurs along the rows and three along the columns, each
// a running sum: the least an acrylic paint has to spend on its background besides copying it.
#include <cstdint>
#include <vector>

namespace cardel::bench {

// Half-widths of three equal-as-possible boxes whose combined variance is that of a Gaussian whose
// three standard deviations reach radius pixels.
struct ThreeBoxes {
  int radii[3] = {0, 0, 0};
};
ThreeBoxes BoxesForGaussian(int radius);

// Blurs width x height pixels of four bytes in place, every byte channel alike, repeating the edge
// pixels; scratch is resized as needed and may be kept between calls.
void BoxBlur3(std::vector<uint8_t>& pixels, std::vector<uint8_t>& scratch, int width, int height, int radius);

// The same blur by its definition, each mean summed afresh: slow, for checking BoxBlur3 against.
void BoxBlur3Straight(std::vector<uint8_t>& pixels, int width, int height, int radius);

}  // namespace cardel::bench
