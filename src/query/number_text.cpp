#include "query/number_text.h"

namespace query {

std::string NumberText(int64_t n) {
  std::string digits = std::to_string(n);
  return n >= 0 ? " " + digits : digits;
}

}  // namespace query
