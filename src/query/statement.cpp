#include "query/statement.h"

#include <cstring>

#include "jet/error.h"
#include "query/number_text.h"

namespace query {

namespace {
int32_t LessOne(int32_t n) {
  int32_t r = 0;
  if (__builtin_sub_overflow(n, 1, &r)) throw errors::Overflow();
  return r;
}
}  // namespace

bool IsRowReturning(const std::string& text) {
  const size_t n = std::strlen(kRowReturningKeyword);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kRowReturningKeyword[i]) return false;
  }
  return true;
}

std::string SizeCaption(int32_t rows, int32_t cols) {
  return NumberText(LessOne(rows)) + "  x " + NumberText(LessOne(cols));
}

std::string PreviewStatement(const std::string& table) {
  return "select * from [" + table + "]";
}

}  // namespace query
