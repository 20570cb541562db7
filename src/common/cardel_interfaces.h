#pragma once
// The generated interface declarations. DrawText is a member of the control's interface, so the
// user32 macro of that name must not rename it.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#undef DrawText

#include "VelmarCardel_h.h"
