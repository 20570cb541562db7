#pragma once
// The controls the demo shows, each with the properties that make it look like itself.
#include "container.h"

namespace cardel::demo {

constexpr SIZE kGallerySize{560, 640};

void PlaceGallery(host::Container& container);

}  // namespace cardel::demo
