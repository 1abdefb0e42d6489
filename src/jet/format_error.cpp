#include "jet/format_error.h"

namespace jet {

// The path stays empty until Database fills it in; `what` is for whoever reads the call site.
void ThrowCorrupt(const char*) {
  throw errors::UnrecognizedFormat("");
}

bool IsCorruptWithoutPath(const Error& e) {
  static const std::string kWithoutPath = errors::UnrecognizedFormat("").description();
  return e.number() == err::kUnrecognizedFormat && e.description() == kWithoutPath;
}

}  // namespace jet
