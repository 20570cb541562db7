#include "host_error.h"

#include <cstdio>

namespace cardel::host {

namespace {
std::string Describe(const std::string& what, HRESULT hr) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(hr));
  return what + " failed with " + code;
}
}  // namespace

HostError::HostError(const std::string& what, HRESULT hr) : std::runtime_error(Describe(what, hr)), code_(hr) {}

void ThrowIfFailed(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw HostError(what, hr);
}

void ThrowLastError(const char* what) { throw HostError(what, HRESULT_FROM_WIN32(GetLastError())); }

}  // namespace cardel::host
