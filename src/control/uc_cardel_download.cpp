// PictureFromURL: one transfer named "URL" at a time, its progress as events and as the ring, and
// its bytes taken in like any other picture.
#include "control/cardel_events.h"
#include "control/uc_cardel.h"
#include "ole/errors.h"
#include "render/download_ring.h"
#include "render/paint_context.h"

using Microsoft::WRL::ComPtr;

namespace cardel {

STDMETHODIMP UcCardel::PictureFromURL(BSTR sUrl, VARIANT_BOOL UseCache, VARIANT_BOOL DrawProgress,
                                      VARIANT_BOOL* Result) noexcept {
  if (!Result) return E_POINTER;
  drawDownloadRing_ = DrawProgress != VARIANT_FALSE;
  if (CancelDownload()) DropBoxAndRepaint();
  ole::ClearError();
  HRESULT hr = E_OUTOFMEMORY;
  if (const ComPtr<UrlDownload> transfer = UrlDownload::Make(
          {[this](UrlDownload& t) { DownloadProgressed(t); },
           [this](UrlDownload& t, bool succeeded) { DownloadFinished(t, succeeded); }})) {
    urlTransfer_ = transfer;
    hr = transfer->Start(sUrl ? sUrl : L"", UseCache == VARIANT_FALSE);
    if (FAILED(hr) && urlTransfer_ == transfer) urlTransfer_.Reset();
  }
  *Result = SUCCEEDED(hr) ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

// A closed control hears nothing more of its transfer.
STDMETHODIMP UcCardel::Close(DWORD saveOption) noexcept {
  CancelDownload();
  // A closed control has no place on screen for the pointer to be over.
  hoverPoll_.SetInterval(0);
  state_.IsMouseEnter = false;
  state_.IsMouseOver = false;
  return ControlBase::Close(saveOption);
}

bool UcCardel::CancelDownload() noexcept {
  if (const ComPtr<UrlDownload> pending = std::move(urlTransfer_)) pending->Detach();
  // The cancelled transfer's counts would otherwise stand for the next one's.
  const bool shown = StopRingWait() || ringTransfer_ != nullptr;
  ringTransfer_.Reset();
  return shown;
}

// Event handlers may let go of the control; it stays alive until the notification is handled.
// The ring moves here, once per notification, so that a paint only shows it and any number of
// paints between two notifications show the same ring. Painting is left to the host's next paint,
// and spaced out: a repaint per notification would cost the transfer more than the transfer itself.
void UcCardel::DownloadProgressed(UrlDownload& transfer) noexcept {
  const ComPtr<IUnknown> keepAlive(Outer());
  const DownloadCounts counts = transfer.Counts();
  if (drawDownloadRing_) {
    if (counts.bytesRead == counts.bytesMax) {
      ringTransfer_.Reset();
    } else {
      if (!ringTransfer_) ringTransfer_ = &transfer;
      if (counts.bytesMax == 0) spinnerAngle_ = AdvanceSpinner(spinnerAngle_);
    }
    // The kept box no longer shows the ring; showing it is paced.
    retained_.DropBox();
    ShowRingChange();
  }
  LONG bytesMax = static_cast<LONG>(counts.bytesMax);
  LONG bytesRead = static_cast<LONG>(counts.bytesRead);
  VARIANTARG args[2];
  V_VT(&args[0]) = VT_I4 | VT_BYREF;
  V_I4REF(&args[0]) = &bytesMax;
  V_VT(&args[1]) = VT_I4 | VT_BYREF;
  V_I4REF(&args[1]) = &bytesRead;
  FireEvent(events::PictureDownloadProgress, args);
}

void UcCardel::DownloadFinished(UrlDownload& transfer, bool succeeded) noexcept {
  const ComPtr<IUnknown> keepAlive(Outer());
  if (urlTransfer_.Get() == &transfer) urlTransfer_.Reset();
  // Let go before the new picture is painted, and on failure too, so no ring is left on screen.
  const bool shown = StopRingWait() || ringTransfer_ != nullptr;
  ringTransfer_.Reset();
  if (succeeded)
    TakePicture(std::move(transfer.Bytes()));
  else if (shown)
    DropBoxAndRepaint();
  FireEvent(succeeded && state_.PictureExist ? events::PictureDownloadComplete : events::PictureDownloadError, {});
}

void UcCardel::ShowRingChange() noexcept {
  if (!state_.Redraw) return;
  const PaceDecision decision = ringPace_.Changed(GetTickCount64());
  if (decision.repaintNow) {
    Invalidate();
  } else if (decision.startWait && !ringWait_.SetInterval(decision.startWait)) {
    // Without a timer the change is shown now rather than never.
    ringPace_.Due(GetTickCount64());
    Invalidate();
  }
}

void UcCardel::RingWaitEnded() noexcept {
  ringWait_.SetInterval(0);
  if (ringPace_.Due(GetTickCount64()) && state_.Redraw) Invalidate();
}

bool UcCardel::StopRingWait() noexcept {
  ringWait_.SetInterval(0);
  const bool owed = ringPace_.Waiting();
  ringPace_.Reset();
  return owed;
}

// Counts that reached their end draw nothing: the record goes at the next progress or the finish.
void UcCardel::PaintDownloadProgress(Gdiplus::GpGraphics* graphics, const PaintContext& paint) const {
  const DownloadCounts counts = ringTransfer_->Counts();
  if (counts.bytesRead == counts.bytesMax) return;
  const IntRect box = DownloadRingBox({paint.width(), paint.height(), state_.PictureSetWidth, state_.PictureSetHeight,
                                       state_.PictureAlignmentH, state_.PictureAlignmentV, state_.PicturePaddingX,
                                       state_.PicturePaddingY, paint.dpiScale},
                                      paint.shape.body);
  DrawDownloadProgress(graphics, box, ProgressArc(counts.bytesRead, counts.bytesMax, spinnerAngle_), paint.dpiScale);
}

}  // namespace cardel
