// Prints, as JSON, what registering the library writes: the classes from the table the library registers
// from, and the type library with its interfaces as read from the built file. The side-by-side manifest and
// the installers' registry rows are generated from this output, so they cannot drift from self-registration.
// Usage: registration_facts.exe PATH\\VelmarCardel.ocx
#include <windows.h>

#include <comcat.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/automation_handles.h"
#include "control/cardel_classes.h"
#include "ole/verbs.h"

using Microsoft::WRL::ComPtr;

namespace {

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

std::string Json(std::wstring_view text) {
  std::string out = "\"";
  for (char c : Utf8(text)) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Json(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return Json(text);
}

std::string ClassFacts(const ole::ClassRegistration& c) {
  std::string out = "{\"clsid\": " + Json(*c.clsid) + ", \"description\": " + Json(c.description) +
                    ", \"progid\": " + (c.progId ? Json(c.progId) : std::string("null")) +
                    ", \"control\": " + (c.isControl ? "true" : "false") +
                    ", \"misc_status\": " + std::to_string(c.miscStatus) +
                    ", \"toolbox_bitmap\": " + std::to_string(c.toolboxBitmapId) + ", \"version\": " + Json(c.version);
  out += ", \"categories\": [" + (c.isControl ? Json(CATID_Control) : std::string()) + "], \"verbs\": [";
  if (c.isControl) {
    const char* separator = "";
    for (const ole::VerbInfo& verb : ole::ControlVerbs()) {
      out += separator + std::string("[") + std::to_string(verb.verb) + ", " + Json(ole::VerbRegistryValue(verb)) + "]";
      separator = ", ";
    }
  }
  return out + "]}";
}

int PrintFacts(const wchar_t* ocx) {
  ComPtr<ITypeLib> lib;
  if (FAILED(LoadTypeLibEx(ocx, REGKIND_NONE, &lib))) {
    std::fprintf(stderr, "registration_facts: no type library in %ls\n", ocx);
    return 1;
  }
  TLIBATTR* attr = nullptr;
  if (FAILED(lib->GetLibAttr(&attr))) return 1;
  const TLIBATTR libAttr = *attr;
  lib->ReleaseTLibAttr(attr);
  cardel::UniqueBstr name, doc, helpFile;
  lib->GetDocumentation(-1, name.put(), doc.put(), nullptr, helpFile.put());

  const auto& table = cardel::kTypeLibrary;
  if (libAttr.guid != *table.libId || libAttr.wMajorVerNum != table.major || libAttr.wMinorVerNum != table.minor ||
      libAttr.lcid != table.lcid) {
    std::fprintf(stderr, "registration_facts: the library's attributes differ from the registration table\n");
    return 1;
  }

  std::string out = "{\n\"typelib\": {\"libid\": " + Json(libAttr.guid) +
                    ", \"major\": " + std::to_string(libAttr.wMajorVerNum) +
                    ", \"minor\": " + std::to_string(libAttr.wMinorVerNum) + ", \"lcid\": " + std::to_string(libAttr.lcid) +
                    ", \"flags\": " + std::to_string(libAttr.wLibFlags) + ", \"name\": " + Json(name.get() ? name.get() : L"") +
                    ", \"doc\": " + Json(doc.get() ? doc.get() : L"") +
                    ", \"help_file\": " + Json(helpFile.get() ? helpFile.get() : L"") + "},\n\"interfaces\": [";
  const char* separator = "\n";
  for (UINT i = 0, count = lib->GetTypeInfoCount(); i < count; ++i) {
    ComPtr<ITypeInfo> info;
    TYPEATTR* typeAttr = nullptr;
    if (FAILED(lib->GetTypeInfo(i, &info)) || FAILED(info->GetTypeAttr(&typeAttr))) return 1;
    const TYPEKIND kind = typeAttr->typekind;
    const GUID iid = typeAttr->guid;
    const WORD flags = typeAttr->wTypeFlags;
    info->ReleaseTypeAttr(typeAttr);
    if (kind != TKIND_INTERFACE && kind != TKIND_DISPATCH) continue;
    cardel::UniqueBstr typeName;
    info->GetDocumentation(MEMBERID_NIL, typeName.put(), nullptr, nullptr, nullptr);
    out += separator + std::string("  {\"iid\": ") + Json(iid) + ", \"name\": " + Json(typeName.get() ? typeName.get() : L"") +
           ", \"dispatch\": " + (kind == TKIND_DISPATCH ? "true" : "false") + ", \"type_flags\": " + std::to_string(flags) + "}";
    separator = ",\n";
  }
  out += "],\n\"classes\": [";
  separator = "\n";
  for (const auto& c : cardel::ClassRegistrations()) {
    out += separator + std::string("  ") + ClassFacts(c);
    separator = ",\n";
  }
  out += "]\n}\n";
  std::fputs(out.c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: registration_facts PATH\\VelmarCardel.ocx\n");
    return 2;
  }
  std::wstring ocx(MAX_PATH, L'\0');
  ocx.resize(static_cast<size_t>(std::max(0, MultiByteToWideChar(CP_ACP, 0, argv[1], -1, ocx.data(), MAX_PATH) - 1)));
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  const int status = PrintFacts(ocx.c_str());
  CoUninitialize();
  return status;
}
