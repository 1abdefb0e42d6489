#include "jetsql/token_cursor.h"

#include <cctype>

namespace jetsql {

std::string Upper(std::string_view word) {
  std::string r(word);
  for (auto& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

}  // namespace jetsql
