#include "jetsql/sqlite_errors.h"

namespace jetsql {

jet::Error SqliteError(const std::string& message) {
  static const char* kTooComplex[] = {"parser stack overflow", "Expression tree is too large",
                                      "too many terms",        "too many FROM clause terms",
                                      "too many arguments",    "string or blob too big",
                                      "too many levels"};
  for (const char* m : kTooComplex) {
    if (message.find(m) != std::string::npos) return errors::ExpressionTooComplex();
  }
  if (message.find("too many columns") != std::string::npos) return errors::TooManyFields();
  return errors::Reserved(message);
}

}  // namespace jetsql
