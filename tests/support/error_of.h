#ifndef QUORLA_TESTS_SUPPORT_ERROR_OF_H_
#define QUORLA_TESTS_SUPPORT_ERROR_OF_H_

#include <cstdint>
#include <functional>
#include <string>

#include "error/error.h"

namespace testsupport {

// The number of the error `f` raises, or 0 when it runs through; the error's description goes to
// `*description` when given.
inline int32_t ErrorOf(const std::function<void()>& f, std::string* description = nullptr) {
  try {
    f();
  } catch (const errors::Error& e) {
    if (description) *description = e.description();
    return e.number();
  }
  return 0;
}

}  // namespace testsupport

#endif  // QUORLA_TESTS_SUPPORT_ERROR_OF_H_
