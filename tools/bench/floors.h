#pragma once
// What putting an area on screen costs at the least, to measure a paint against: one 1:1 copy of it,
// one blend of a premultiplied surface of it (what a paint from retained layers comes down to), and
// for the acrylic background a blur of it besides.
#include <cstdint>
#include <vector>

#include "backdrop.h"
#include "dib_surface.h"

namespace cardel::bench {

class Floors {
 public:
  explicit Floors(const Backdrop& backdrop);
  void Blit() const;
  void Blend() const;
  // The bench's own blur of the area, at the acrylic's radius.
  void Blur();
  // The largest difference in a channel between Blur and its definition, on the backdrop.
  int BlurError() const;

 private:
  const Backdrop& backdrop_;
  host::DibSurface target_;
  host::DibSurface premultiplied_;
  std::vector<uint8_t> pixels_, scratch_;
};

}  // namespace cardel::bench
