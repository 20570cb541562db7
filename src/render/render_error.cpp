#include "render/render_error.h"

#include <new>
#include <stdexcept>

#include "common/checked_int.h"

namespace cardel {

void RaiseRenderError(RenderError error) {
  switch (error) {
    case RenderError::Overflow: throw ArithmeticOverflow{};
    case RenderError::InvalidArgument: throw std::invalid_argument("invalid drawing argument");
    case RenderError::OutOfMemory: break;
  }
  throw std::bad_alloc{};
}

}  // namespace cardel
