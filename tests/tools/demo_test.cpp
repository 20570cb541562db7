// The README's first command, run the way it runs the demo: both pictures are written, are PNG files that
// decode, and show what the demo promises. A broken demo fails here instead of on a newcomer's machine.
#include <gtest/gtest.h>

#include <objbase.h>
#include <ocidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "VelmarCardel_h.h"
#include "common/win_handles.h"
#include "gallery.h"
#include "library.h"
#include "ole_support.h"

namespace cardel::oletest {
namespace {

using Microsoft::WRL::ComPtr;

std::vector<uint8_t> ReadFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t BigEndian(const std::vector<uint8_t>& bytes, size_t at) {
  return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

struct Picture {
  SIZE size{};
  size_t colours = 0;  // distinct colours, counted up to a few hundred
};

// The size from the PNG header, then the picture decoded by the system as any viewer would.
Picture ReadPng(const std::wstring& path) {
  const std::vector<uint8_t> bytes = ReadFile(path);
  const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Picture picture;
  if (bytes.size() < 33 || !std::equal(std::begin(signature), std::end(signature), bytes.begin()) ||
      std::string(bytes.begin() + 12, bytes.begin() + 16) != "IHDR")
    return picture;
  picture.size = {static_cast<LONG>(BigEndian(bytes, 16)), static_cast<LONG>(BigEndian(bytes, 20))};

  ComPtr<IPicture> decoded;
  if (FAILED(OleLoadPicturePath(const_cast<LPOLESTR>(path.c_str()), nullptr, 0, 0, IID_PPV_ARGS(&decoded))))
    return picture;
  OLE_HANDLE handle = 0;
  decoded->get_Handle(&handle);
  BITMAP info{};
  GetObjectW(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof info, &info);
  if (info.bmWidth != picture.size.cx || info.bmHeight != picture.size.cy) return {};
  const WindowDc screen(nullptr);
  BITMAPINFO format{{sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB}};
  std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
  GetDIBits(screen.get(), reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), 0, info.bmHeight, pixels.data(), &format,
            DIB_RGB_COLORS);
  std::set<uint32_t> colours;
  for (size_t i = 0; i < pixels.size() && colours.size() < 500; i += 7) colours.insert(pixels[i] & 0xFFFFFF);
  picture.colours = colours.size();
  return picture;
}

std::wstring Beside(const wchar_t* name) {
  const std::wstring ocx = OcxPath();
  return ocx.substr(0, ocx.find_last_of(L"\\/") + 1) + name;
}

TEST(DemoTest, WritesTheGalleryAndThePropertyPageAsPictures) {
  wchar_t temp[MAX_PATH] = {}, folder[MAX_PATH] = {};
  ASSERT_TRUE(GetTempPathW(MAX_PATH, temp));
  ASSERT_TRUE(GetTempFileNameW(temp, L"cdm", 0, folder));
  DeleteFileW(folder);
  ASSERT_TRUE(CreateDirectoryW(folder, nullptr));
  const std::wstring gallery = std::wstring(folder) + L"\\gallery.png";
  const std::wstring page = std::wstring(folder) + L"\\property-page.png";

  const ProcessResult run =
      RunProcess(L'"' + Beside(L"cardel-demo.exe") + L"\" \"" + gallery + L"\" \"" + page + L'"', std::chrono::seconds(120));
  EXPECT_EQ(run.exitCode, 0u) << run.errors;

  const Picture shown = ReadPng(gallery);
  EXPECT_EQ(shown.size.cx, demo::kGallerySize.cx);
  EXPECT_EQ(shown.size.cy, demo::kGallerySize.cy);
  EXPECT_GT(shown.colours, 50u) << "the gallery shows controls, not an empty window";

  // The frame around the page is the system's, so only the page's own size is known here.
  host::Library library;
  ComPtr<IClassFactory> factory;
  ComPtr<IPropertyPage> propertyPage;
  ASSERT_EQ(library.DllGetClassObject(CLSID_ppCardel, IID_PPV_ARGS(&factory)), S_OK);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&propertyPage)), S_OK);
  PROPPAGEINFO info{sizeof info};
  ASSERT_EQ(propertyPage->GetPageInfo(&info), S_OK);
  CoTaskMemFree(info.pszTitle);
  CoTaskMemFree(info.pszDocString);
  CoTaskMemFree(info.pszHelpFile);
  const Picture frame = ReadPng(page);
  EXPECT_GE(frame.size.cx, info.size.cx);
  EXPECT_GE(frame.size.cy, info.size.cy);
  EXPECT_LT(frame.size.cx, 1280);
  EXPECT_LT(frame.size.cy, 1024);
  EXPECT_GT(frame.colours, 10u) << "the page shows its preview and controls";

  DeleteFileW(gallery.c_str());
  DeleteFileW(page.c_str());
  RemoveDirectoryW(folder);
}

}  // namespace
}  // namespace cardel::oletest
