// The control's one error policy as pure conversions: what an exception from beneath an entry point
// stands for, and how each kind of entry point says it to its caller.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/checked_int.h"
#include "ole/errors.h"
#include "render/render_error.h"

namespace ole {
namespace {

using Microsoft::WRL::ComPtr;

constexpr GUID kInterface = {0x1b6a0c42, 0x55d1, 0x4f0e, {0x9a, 0x3e, 0x2d, 0x61, 0x7c, 0x0b, 0x84, 0x5f}};

struct UnknownFailure {};

// The description the last automation error published for the calling thread; empty without one.
std::wstring PublishedDescription() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, &info) != S_OK || !info) return {};
  BSTR text = nullptr;
  info->GetDescription(&text);
  std::wstring description(text ? text : L"", SysStringLen(text));
  SysFreeString(text);
  return description;
}

TEST(ErrorPolicyTest, EachExceptionStandsForOneFailure) {
  const struct {
    const char* what;
    std::exception_ptr exception;
    Failure failure;
  } cases[] = {
      {"arithmetic overflow", std::make_exception_ptr(cardel::ArithmeticOverflow{}), Failure::Overflow},
      {"other overflow", std::make_exception_ptr(std::overflow_error("x")), Failure::Overflow},
      {"bad_alloc", std::make_exception_ptr(std::bad_alloc{}), Failure::OutOfMemory},
      {"bad_array_new_length", std::make_exception_ptr(std::bad_array_new_length{}), Failure::OutOfMemory},
      {"length_error", std::make_exception_ptr(std::length_error("x")), Failure::OutOfMemory},
      {"invalid_argument", std::make_exception_ptr(std::invalid_argument("x")), Failure::InvalidArgument},
      {"runtime_error", std::make_exception_ptr(std::runtime_error("x")), Failure::Unexpected},
      {"not a standard exception", std::make_exception_ptr(UnknownFailure{}), Failure::Unexpected},
      {"nothing", std::exception_ptr{}, Failure::Unexpected},
  };
  for (const auto& c : cases) EXPECT_EQ(FailureOf(c.exception), c.failure) << c.what;
}

// The renderer speaks its own words; they reach every entry point as the failure they name.
TEST(ErrorPolicyTest, EveryRenderErrorReachesTheEntryPointsAsItsOwnFailure) {
  const struct {
    cardel::RenderError error;
    Failure failure;
  } cases[] = {{cardel::RenderError::Overflow, Failure::Overflow},
               {cardel::RenderError::OutOfMemory, Failure::OutOfMemory},
               {cardel::RenderError::InvalidArgument, Failure::InvalidArgument}};
  for (const auto& c : cases) {
    std::exception_ptr raised;
    try {
      cardel::RaiseRenderError(c.error);
    } catch (...) {
      raised = std::current_exception();
    }
    EXPECT_EQ(FailureOf(raised), c.failure) << static_cast<int>(c.error);
  }
}

TEST(ErrorPolicyTest, AutomationCallersGetRunTimeErrorsWithTheirDescriptions) {
  const struct {
    Failure failure;
    HRESULT hr;
    const wchar_t* description;
  } cases[] = {
      {Failure::Overflow, static_cast<HRESULT>(0x800A0006), L"Overflow"},
      {Failure::OutOfMemory, static_cast<HRESULT>(0x800A0007), L"Out of memory"},
      {Failure::InvalidArgument, static_cast<HRESULT>(0x800A0005), L"Invalid procedure call or argument"},
      {Failure::Unexpected, E_UNEXPECTED, L"Unexpected failure inside the control"},
  };
  for (const auto& c : cases) {
    ClearError();
    EXPECT_EQ(RaiseFailure(c.failure, kInterface), c.hr) << static_cast<int>(c.failure);
    EXPECT_EQ(PublishedDescription(), c.description);
  }
}

TEST(ErrorPolicyTest, OleCallersGetTheirInterfacesCodesAndNoErrorObject) {
  EXPECT_EQ(OleFailure(Failure::OutOfMemory), E_OUTOFMEMORY);
  EXPECT_EQ(OleFailure(Failure::InvalidArgument), E_INVALIDARG);
  EXPECT_EQ(OleFailure(Failure::Unexpected), E_UNEXPECTED);
  EXPECT_EQ(OleFailure(Failure::Overflow), E_FAIL);
  EXPECT_EQ(OleFailure(Failure::Overflow, VIEW_E_DRAW), VIEW_E_DRAW);
  EXPECT_EQ(OleFailure(Failure::OutOfMemory, VIEW_E_DRAW), E_OUTOFMEMORY);
  ClearError();
  EXPECT_EQ(GuardedOle([]() -> HRESULT { throw std::bad_alloc{}; }), E_OUTOFMEMORY);
  EXPECT_EQ(GuardedOle([]() -> HRESULT { throw cardel::ArithmeticOverflow{}; }, VIEW_E_DRAW), VIEW_E_DRAW);
  EXPECT_EQ(PublishedDescription(), L"");
}

TEST(ErrorPolicyTest, GuardsConvertWhateverTheWorkThrowsAndPassItsOwnAnswer) {
  EXPECT_EQ(Guarded(kInterface, [] { return S_FALSE; }), S_FALSE);
  EXPECT_EQ(GuardedOle([] { return S_FALSE; }), S_FALSE);
  EXPECT_EQ(Guarded(kInterface,
                    [] {
                      (void)std::vector<int>().at(1);
                      return S_OK;
                    }),
            E_UNEXPECTED);
  EXPECT_EQ(Guarded(kInterface, []() -> HRESULT { throw std::bad_alloc{}; }), static_cast<HRESULT>(0x800A0007));
  EXPECT_EQ(PublishedDescription(), L"Out of memory");
  EXPECT_EQ(Guarded(kInterface, []() -> HRESULT { cardel::RaiseRenderError(cardel::RenderError::OutOfMemory); }),
            static_cast<HRESULT>(0x800A0007));
  int done = 0;
  EXPECT_TRUE(Contained([&] { ++done; }));
  EXPECT_FALSE(Contained([&] { throw UnknownFailure{}; }));
  EXPECT_EQ(done, 1);
}

}  // namespace
}  // namespace ole
