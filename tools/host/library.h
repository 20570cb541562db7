#pragma once
// The control library under test, loaded from the test program's own directory and driven through its
// exports, so that no registration is needed.
#include <windows.h>
#include <objbase.h>

#include "common/win_handles.h"

namespace cardel::host {

// OLE is initialised for the lifetime of the object; everything the host creates needs it.
class OleApartment {
 public:
  OleApartment();
  OleApartment(const OleApartment&) = delete;
  OleApartment& operator=(const OleApartment&) = delete;
  ~OleApartment();
};

class Library {
 public:
  explicit Library(const wchar_t* file_name = L"VelmarCardel.ocx");
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // Creates a ucCardel through the library's class factory.
  HRESULT CreateControl(IUnknown* outer, REFIID riid, void** out) const;

  HRESULT(STDAPICALLTYPE* DllGetClassObject)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* DllCanUnloadNow)() = nullptr;
  HRESULT(STDAPICALLTYPE* DllRegisterServer)() = nullptr;
  HRESULT(STDAPICALLTYPE* DllUnregisterServer)() = nullptr;

 private:
  // Declared first so that OLE outlives the library's code.
  OleApartment apartment_;
  UniqueModule module_;
};

}  // namespace cardel::host
