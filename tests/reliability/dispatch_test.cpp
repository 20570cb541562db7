// Late-bound calls as careless clients make them: strings by value to the by-reference members, and
// malformed references. Under the program's heap checks a string freed twice shows at once.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "container.h"
#include "excep_info.h"
#include "library.h"

namespace cardel::host {
namespace {

constexpr DISPID kDraw = 0x60030058;
constexpr DISPID kCaption = 0x6803002C;
constexpr DISPID kPictureFromPath = 0x60030080;
constexpr DISPID kPolygon = 0x60030084;

// A 2 x 2 24-bit BMP.
std::vector<uint8_t> TinyBitmap() {
  const uint8_t header[] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0,
                            1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0};
  std::vector<uint8_t> bytes(70, 0x80);
  std::copy(std::begin(header), std::end(header), bytes.begin());
  return bytes;
}

class DispatchTest : public testing::Test {
 protected:
  void SetUp() override {
    control_ = &form_.Add({10, 10, 210, 90});
    dispatch_ = control_->Query<IDispatch>();
    ASSERT_TRUE(dispatch_);
  }

  // args in declaration order; a put passes its one value as the named DISPID_PROPERTYPUT.
  HRESULT Invoke(DISPID id, WORD flags, std::vector<VARIANTARG> args, VARIANT* result = nullptr) {
    std::vector<VARIANTARG> reversed(args.rbegin(), args.rend());
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()), put ? 1u : 0u};
    ExcepInfo excep;
    UINT argErr = 0;
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &excep, &argErr);
  }
  std::wstring Caption() {
    Variant value;
    Invoke(kCaption, DISPATCH_PROPERTYGET, {}, value.put());
    return value.vt() == VT_BSTR && value->bstrVal ? value->bstrVal : L"";
  }
  std::wstring WriteBitmap() {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / L"cardel_dispatch_test.bmp";
    const std::vector<uint8_t> bytes = TinyBitmap();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path.wstring();
  }

  Library library_;
  Container form_{library_};
  HostedControl* control_ = nullptr;
  ComPtr<IDispatch> dispatch_;
};

VARIANTARG Long(LONG v) {
  VARIANTARG a;
  V_VT(&a) = VT_I4;
  V_I4(&a) = v;
  return a;
}

TEST_F(DispatchTest, StringsPassedByValueStayTheCallers) {
  const std::wstring path = WriteBitmap();
  // Without repaints the thousands of calls stay quick.
  ASSERT_HRESULT_SUCCEEDED(control_->Cardel()->put_Redraw(VARIANT_FALSE));
  for (int i = 0; i < 2000; ++i) {
    const std::wstring text = L"caption " + std::to_wstring(i);
    const Variant caption = Variant::String(text);
    const BSTR given = caption->bstrVal;
    ASSERT_EQ(Invoke(kCaption, DISPATCH_PROPERTYPUT, {*caption}), S_OK);
    ASSERT_EQ(caption->bstrVal, given) << "the caller's string was replaced";

    const Variant file = Variant::String(path);
    const BSTR named = file->bstrVal;
    Variant loaded;
    ASSERT_EQ(Invoke(kPictureFromPath, DISPATCH_METHOD, {*file}, loaded.put()), S_OK);
    ASSERT_EQ(file->bstrVal, named);
    EXPECT_EQ(V_BOOL(loaded.get()), VARIANT_TRUE);
  }
  EXPECT_EQ(Caption(), L"caption 1999");
  DeleteFileW(path.c_str());
}

// References without storage behind them, and types that do not exist, are refused by every member.
TEST_F(DispatchTest, MalformedReferencesAreRefused) {
  const VARTYPE malformed[] = {VT_BYREF | VT_I4,       VT_BYREF | VT_BSTR, VT_BYREF | VT_VARIANT,
                               VT_BYREF | VT_DISPATCH, 0x7FFF,             VT_VECTOR | VT_I4,
                               VT_BYREF | VT_ARRAY | VT_VARIANT};
  for (const VARTYPE vt : malformed) {
    SCOPED_TRACE(testing::Message() << "vt 0x" << std::hex << vt);
    VARIANTARG bad;
    V_VT(&bad) = vt;
    V_BYREF(&bad) = nullptr;
    Variant result;
    // As a point, as a fixed argument, and to the by-reference members.
    const VARIANTARG zero = Long(0), one = Long(1), full = Long(100), five = Long(5);
    EXPECT_HRESULT_FAILED(Invoke(kPolygon, DISPATCH_METHOD, {zero, one, zero, full, five, bad}, result.put()));
    EXPECT_HRESULT_FAILED(Invoke(kPolygon, DISPATCH_METHOD, {bad, one, zero, full, five, five}, result.put()));
    EXPECT_HRESULT_FAILED(Invoke(kCaption, DISPATCH_PROPERTYPUT, {bad}));
    EXPECT_HRESULT_FAILED(Invoke(kPictureFromPath, DISPATCH_METHOD, {bad}, result.put()));
    EXPECT_HRESULT_FAILED(Invoke(kDraw, DISPATCH_METHOD, {Long(0), Long(0), Long(0), bad}));
  }
}

}  // namespace
}  // namespace cardel::host
