#pragma once
// An EXCEPINFO that frees its strings, for late-bound calls a test makes.
#include <windows.h>
#include <oaidl.h>

#include "common/automation_handles.h"

namespace cardel::host {

struct ExcepInfo : EXCEPINFO {
  ExcepInfo() : EXCEPINFO{} {}
  ExcepInfo(const ExcepInfo&) = delete;
  ExcepInfo& operator=(const ExcepInfo&) = delete;
  ~ExcepInfo() { const UniqueBstr source(bstrSource), description(bstrDescription), helpFile(bstrHelpFile); }
};

}  // namespace cardel::host
