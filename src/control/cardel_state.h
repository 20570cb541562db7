#pragma once
// The control's stored property values, named after the properties that own them, and the state the
// interface reports but no setter writes. Widths are the stored widths: a few 16-bit published properties
// keep 32 bits, and two 32-bit published ones 16.
#include <windows.h>
#include <oaidl.h>
#include <olectl.h>

#include <cstdint>

#include "common/system_colours.h"

namespace cardel {

struct CardelState {
#define CARDEL_MEMBER_Control(type, name) type name = 0;
#define CARDEL_MEMBER_Host(type, name)
#define CARDEL_STORED(name, dispid, holder, stored, ...) CARDEL_MEMBER_##holder(stored, name)
#define CARDEL_OWN(name, dispid)
#define CARDEL_SAVED(name)
#include "control/property_rows.def"
#undef CARDEL_MEMBER_Control
#undef CARDEL_MEMBER_Host

  int32_t PictureGetWidth = 0;
  int32_t PictureGetHeight = 0;
  bool PictureExist = false;
  int32_t IconCharCode = 0;
  bool IsMouseEnter = false;
  bool IsMouseOver = false;
};

}  // namespace cardel
