#include "common/allocation_refusal.h"
#include "control/retained_budget.h"
#include "control/uc_cardel.h"
#include "picture/image_decode.h"

namespace cardel {

STDMETHODIMP UcCardel::RefuseLargeAllocations(BOOL refuse) noexcept {
  return RefuseLargeAllocationsOnThisThread(refuse != FALSE) ? S_OK : E_ACCESSDENIED;
}

STDMETHODIMP UcCardel::CountPictureDecodes(LONG* decodes) noexcept {
  if (!decodes) return E_POINTER;
  *decodes = static_cast<LONG>(PictureDecodes());
  return S_OK;
}

STDMETHODIMP UcCardel::PaintAfresh(BOOL afresh) noexcept {
  paintAfresh_ = afresh != FALSE;
  return S_OK;
}

STDMETHODIMP UcCardel::CountLayerBuilds(LONG layer, LONG* builds) noexcept {
  if (!builds) return E_POINTER;
  if (layer < 0 || layer >= static_cast<LONG>(RetainedLayer::Count)) return E_INVALIDARG;
  *builds = static_cast<LONG>(retained_.builds[static_cast<size_t>(layer)]);
  return S_OK;
}

STDMETHODIMP UcCardel::SetRetainedBudget(LONGLONG bytes) noexcept {
  RetainedBudget::OfProcess().SetLimit(bytes < 0 ? kProcessRetainedBytes : bytes);
  return S_OK;
}

STDMETHODIMP UcCardel::RetainedBytes(LONGLONG* bytes) noexcept {
  if (!bytes) return E_POINTER;
  *bytes = RetainedBudget::OfProcess().Used();
  return S_OK;
}

}  // namespace cardel
