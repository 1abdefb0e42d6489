#include "jet/format_error.h"

namespace jet {
namespace {
constexpr char kNoPathMarker[] = "Nicht erkanntes Datenbankformat: ";
}

void ThrowCorrupt(const char* what) {
  throw Error(err::kUnrecognizedFormat, std::string(kNoPathMarker) + what);
}

bool IsCorruptWithoutPath(const Error& e) {
  return e.number() == err::kUnrecognizedFormat && e.description().rfind(kNoPathMarker, 0) == 0;
}

}  // namespace jet
