// Prints every registry entry of the library, in each registry view, one sorted line per value:
//   view|key|value name|type|data
// Paths to the library are cut to their file name, and the type library's HELPDIR (a folder) to
// "<folder>", so a registration and an installation of the same files compare line for line. Keys: the classes and ProgIDs of the registration table, the type library,
// and every interface whose type library is this one (found by looking, so an extra or stray one shows).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "common/win_handles.h"
#include "control/cardel_classes.h"

namespace {

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
  return text;
}

std::wstring WithoutFolder(const std::wstring& data) {
  const size_t file = Lower(data).find(L"velmarcardel.ocx");
  if (file == std::wstring::npos) return data;
  const size_t slash = data.find_last_of(L"\\/", file);
  return slash == std::wstring::npos ? data : L"<folder>" + data.substr(slash);
}

void Dump(const wchar_t* view, REGSAM viewFlag, const std::wstring& path, std::set<std::wstring>& lines) {
  cardel::UniqueHkey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | viewFlag, key.put()) != ERROR_SUCCESS) return;
  lines.insert(std::wstring(view) + L"|" + path + L"||key|");
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256, type = 0;
    BYTE data[2048] = {};
    DWORD dataLength = sizeof data - sizeof(wchar_t);
    if (RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
    std::wstring text;
    const bool helpFolder = path.size() >= 8 && Lower(path.substr(path.size() - 8)) == L"\\helpdir";
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && helpFolder && data[0])
      text = L"<folder>";
    else if (type == REG_SZ || type == REG_EXPAND_SZ)
      text = WithoutFolder(reinterpret_cast<const wchar_t*>(data));
    else if (type == REG_DWORD)
      text = std::to_wstring(*reinterpret_cast<const DWORD*>(data));
    else
      text = L"(" + std::to_wstring(dataLength) + L" bytes)";
    lines.insert(std::wstring(view) + L"|" + path + L"|" + name + L"|" + std::to_wstring(type) + L"|" + text);
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256;
    if (RegEnumKeyExW(key.get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    Dump(view, viewFlag, path + L"\\" + name, lines);
  }
}

std::vector<std::wstring> InterfacesOfTheLibrary(REGSAM viewFlag) {
  std::vector<std::wstring> found;
  cardel::UniqueHkey interfaces;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Interface", 0, KEY_READ | viewFlag, interfaces.put()) != ERROR_SUCCESS)
    return found;
  const std::wstring libId = Lower(GuidText(LIBID_VelmarCardel));
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256;
    if (RegEnumKeyExW(interfaces.get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    wchar_t value[64] = {};
    DWORD bytes = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(interfaces.get(), (std::wstring(name) + L"\\TypeLib").c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                     value, &bytes) == ERROR_SUCCESS &&
        Lower(value) == libId)
      found.push_back(L"Interface\\" + std::wstring(name));
  }
  return found;
}

}  // namespace

int main() {
  struct View {
    const wchar_t* name;
    REGSAM flag;
  };
  std::vector<View> views{{L"32", KEY_WOW64_32KEY}};
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  if (sizeof(void*) == 8 || wow64) views.push_back({L"64", KEY_WOW64_64KEY});

  std::set<std::wstring> lines;
  for (const View& view : views) {
    std::vector<std::wstring> roots{L"TypeLib\\" + GuidText(LIBID_VelmarCardel)};
    for (const auto& c : cardel::ClassRegistrations()) {
      roots.push_back(L"CLSID\\" + GuidText(*c.clsid));
      if (c.progId) roots.push_back(c.progId);
    }
    for (const auto& i : InterfacesOfTheLibrary(view.flag)) roots.push_back(i);
    for (const auto& root : roots) Dump(view.name, view.flag, root, lines);
  }
  for (const auto& line : lines) std::printf("%ls\n", line.c_str());
  return 0;
}
