#pragma once
// What a public method's drawing answers: its value, or the run-time error the control raises
// to the caller instead.
#include <optional>

#include "ole/errors.h"

namespace cardel {

template <class T>
struct MethodResult {
  T value{};
  std::optional<ole::RuntimeError> error;
};

}  // namespace cardel
