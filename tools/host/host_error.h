#pragma once
// The test host throws one error type from its own helpers; COM methods never throw.
#include <windows.h>

#include <stdexcept>
#include <string>

namespace cardel::host {

class HostError : public std::runtime_error {
 public:
  HostError(const std::string& what, HRESULT hr);
  HRESULT code() const noexcept { return code_; }

 private:
  HRESULT code_;
};

void ThrowIfFailed(HRESULT hr, const char* what);
void ThrowLastError(const char* what);

}  // namespace cardel::host
