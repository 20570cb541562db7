// The picture as the bytes of its file: taking them in from a path, an array or the saved form,
// handing out a copy, and removing them.
#include <cstring>
#include <new>
#include <string_view>

#include "control/uc_cardel.h"
#include "picture/byte_array.h"
#include "picture/file_bytes.h"
#include "picture/image_decode.h"

using namespace Gdiplus::DllExports;
using ole::RuntimeError;

namespace cardel {
namespace {

// The saved form keeps the picture under "PicturePresent" and "PictureArr", which are no properties
// of the interface. The first is what PictureExist publishes; the bytes behind the second are no one
// property, so the host hears that any property may have changed.
constexpr DISPID kPicturePresentChanged = 0x68030016;
constexpr DISPID kPictureBytesChanged = DISPID_UNKNOWN;

}  // namespace

void UcCardel::TakePicture(std::vector<uint8_t> bytes) noexcept {
  // The decoded image reads from the bytes it came from, so it goes before they do.
  pictureImage_.reset();
  bool decoded = false;
  gdip::UniqueImage image = LoadImageFromBytes(bytes);
  if (image) {
    UINT width = 0, height = 0;
    if (GdipGetImageWidth(image.get(), &width) == Gdiplus::Ok &&
        GdipGetImageHeight(image.get(), &height) == Gdiplus::Ok && width > 0 && height > 0) {
      state_.PictureGetWidth = static_cast<int32_t>(width);
      state_.PictureGetHeight = static_cast<int32_t>(height);
      decoded = true;
    }
  }
  // Moving the vector keeps its buffer, which the image goes on reading.
  pictureData_ = decoded ? std::move(bytes) : std::vector<uint8_t>{};
  if (decoded) pictureImage_ = std::move(image);
  state_.PictureExist = decoded;
  PictureChanged();
}

void UcCardel::PictureChanged() noexcept {
  DropPictureLayer();
  NotifyPropertyChanged(kPicturePresentChanged);
  NotifyPropertyChanged(kPictureBytesChanged);
  DropBoxAndRepaint();
}

HRESULT UcCardel::LoadPictureData() noexcept {
  TakePicture(std::move(pictureData_));
  return S_OK;
}

STDMETHODIMP UcCardel::PictureFromPath(BSTR* sFileName, VARIANT_BOOL* Result) noexcept {
  if (!sFileName || !Result) return E_POINTER;
  FileBytes file = ReadFileBytes(std::wstring_view(*sFileName ? *sFileName : L"", SysStringLen(*sFileName)));
  if (file.error) return Error(*file.error);
  TakePicture(std::move(file.bytes));
  *Result = state_.PictureExist ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP UcCardel::PictureFromStream(SAFEARRAY** bvStream, VARIANT_BOOL* Result) noexcept {
  if (!bvStream || !Result) return E_POINTER;
  std::vector<uint8_t> copy;
  {
    const ByteArrayView view(*bvStream);
    if (const HRESULT hr = Guard([&] {
          if (view.usable()) copy.assign(view.bytes().begin(), view.bytes().end());
          return S_OK;
        });
        FAILED(hr))
      return hr;
  }
  TakePicture(std::move(copy));
  *Result = state_.PictureExist ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP UcCardel::PictureGetStream(SAFEARRAY** Result) noexcept {
  if (!Result) return E_POINTER;
  *Result = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(pictureData_.size()));
  if (!*Result) return Error(RuntimeError::OutOfMemory);
  if (!pictureData_.empty()) memcpy((*Result)->pvData, pictureData_.data(), pictureData_.size());
  return S_OK;
}

STDMETHODIMP UcCardel::PictureDelete(VARIANT* Result) noexcept {
  if (!Result) return E_POINTER;
  VariantInit(Result);
  pictureImage_.reset();
  pictureData_ = std::vector<uint8_t>{};
  state_.PictureExist = false;
  PictureChanged();
  return S_OK;
}

}  // namespace cardel
