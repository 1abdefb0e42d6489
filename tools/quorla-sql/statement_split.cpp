#include "statement_split.h"

namespace quorla_sql {
namespace {

void Keep(std::string& piece, std::vector<std::string>& out) {
  if (piece.find_first_not_of(" \t\r\n") != std::string::npos) out.push_back(piece);
  piece.clear();
}

}  // namespace

std::vector<std::string> SplitStatements(const std::string& script) {
  std::vector<std::string> out;
  std::string piece;
  char closer = 0;  // the character that ends the quoted part we are in, if any
  for (char c : script) {
    if (closer != 0) {
      if (c == closer) closer = 0;
    } else if (c == '\'' || c == '"') {
      closer = c;
    } else if (c == '[') {
      closer = ']';
    } else if (c == ';') {
      Keep(piece, out);
      continue;
    }
    piece.push_back(c);
  }
  Keep(piece, out);
  return out;
}

}  // namespace quorla_sql
