#include "picture/byte_array.h"

#include <oleauto.h>

namespace cardel {

ByteArrayView::ByteArrayView(SAFEARRAY* array) noexcept {
  if (!array || array->cDims != 1 || array->cbElements != 1 || !array->pvData) return;
  const SAFEARRAYBOUND& bound = array->rgsabound[0];
  const int64_t first = bound.lLbound;
  const int64_t end = first + bound.cElements;
  if (first > 0 || end <= 0) return;
  if (FAILED(SafeArrayLock(array))) return;
  locked_ = array;
  const auto* data = static_cast<const uint8_t*>(array->pvData);
  bytes_ = {data - first, static_cast<size_t>(end)};
}

ByteArrayView::~ByteArrayView() {
  if (locked_) SafeArrayUnlock(locked_);
}

}  // namespace cardel
