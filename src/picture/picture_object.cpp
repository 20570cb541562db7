#include "picture/picture_object.h"

#include <objidl.h>
#include <wrl/client.h>

#include <span>

#include "ole/icon_structure.h"

using Microsoft::WRL::ComPtr;

namespace cardel {

bool IsBrokenIconPicture(IUnknown* picture) noexcept {
  ComPtr<IPersistStream> persist;
  if (!picture || FAILED(picture->QueryInterface(IID_PPV_ARGS(&persist)))) return false;
  ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) || FAILED(persist->Save(stream.Get(), FALSE)))
    return false;
  HGLOBAL memory = nullptr;
  if (FAILED(GetHGlobalFromStream(stream.Get(), &memory))) return false;
  STATSTG stat{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
  if (!bytes) return false;
  const bool broken = ole::HasBrokenSavedIcon(std::span<const uint8_t>(bytes, stat.cbSize.LowPart));
  GlobalUnlock(memory);
  return broken;
}

}  // namespace cardel
