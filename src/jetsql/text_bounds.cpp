#include "jetsql/text_bounds.h"

namespace jetsql {

namespace {

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

std::string AlnumPrefix(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (!IsAsciiAlnum(c)) break;
    out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
  }
  return out;
}

std::optional<std::string> AlnumSuccessor(std::string prefix) {
  for (char& c : prefix) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  // Characters with their own place between z (or 9) and the next letter may exist: such a last
  // character is dropped and the one before it raised instead.
  while (!prefix.empty() && (prefix.back() == 'z' || prefix.back() == '9')) prefix.pop_back();
  if (prefix.empty()) return std::nullopt;
  ++prefix.back();
  return prefix;
}

std::optional<std::string> AlnumUpperBound(std::string_view text) {
  return AlnumSuccessor(AlnumPrefix(text));
}

}  // namespace jetsql
