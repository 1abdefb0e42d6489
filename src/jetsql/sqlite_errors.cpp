#include "jetsql/sqlite_errors.h"

#include <cstdlib>

#include "jetsql/errors.h"
#include "jetsql/functions/registry.h"

namespace jetsql {

jet::Error SqliteError(const std::string& message) {
  const std::string prefix = kJetErrorPrefix;
  if (message.compare(0, prefix.size(), prefix) == 0) {
    size_t colon = message.find(':', prefix.size());
    if (colon != std::string::npos) {
      char* end = nullptr;
      long number = std::strtol(message.c_str() + prefix.size(), &end, 10);
      if (end == message.c_str() + colon) {
        return jet::Error(static_cast<int32_t>(number), message.substr(colon + 1));
      }
    }
  }
  static const char* kTooComplex[] = {"parser stack overflow", "Expression tree is too large",
                                      "too many terms",        "too many FROM clause terms",
                                      "too many arguments",    "string or blob too big",
                                      "too many levels"};
  for (const char* m : kTooComplex) {
    if (message.find(m) != std::string::npos) {
      try {
        ThrowTooComplex();
      } catch (const jet::Error& e) {
        return e;
      }
    }
  }
  if (message.find("too many columns") != std::string::npos) {
    return jet::Error(sqlerr::kTooManyFields, "Zu viele Felder definiert.");
  }
  return jet::Error(sqlerr::kReserved, "Reservierter Fehler (" + message + ").");
}

}  // namespace jetsql
