#include "jetsql/errors.h"

#include "error/errors.h"

namespace jetsql {

void ThrowSyntax(int32_t number, const std::string& description) {
  throw jet::Error(number, description);
}

void ThrowTableNotFound(const std::string& table) {
  throw errors::UnknownTable(table);
}

void ThrowFromSyntax() {
  throw errors::SyntaxInFrom();
}

}  // namespace jetsql
