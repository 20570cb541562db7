#pragma once
// The automation face of a dragged IDataObject, as the control's drag events pass it: which formats
// it offers, its text, its files. A dropped object belongs to its source, so it cannot be changed.
#include <objidl.h>
#include <wrl/client.h>

#include "VelmarCardel_h.h"

namespace cardel::input {

// Format numbers as the events use them: the clipboard formats, registered ones as negative 16-bit.
constexpr short kTextFormat = CF_TEXT;
constexpr short kUnicodeTextFormat = CF_UNICODETEXT;
constexpr short kFilesFormat = CF_HDROP;

// What Clear and SetData answer: the number clients of such controls know for this refusal.
constexpr HRESULT kDataObjectReadOnly = static_cast<HRESULT>(0x800A02A0);
// What GetData answers for a format the object does not offer.
constexpr HRESULT kFormatNotOffered = static_cast<HRESULT>(0x800A01CD);

HRESULT NewDroppedData(IDataObject* source, DataObject** data) noexcept;

}  // namespace cardel::input
