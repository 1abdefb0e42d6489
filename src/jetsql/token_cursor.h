#ifndef QUORLA_JETSQL_TOKEN_CURSOR_H_
#define QUORLA_JETSQL_TOKEN_CURSOR_H_

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "jetsql/lexer.h"

namespace jetsql {

// `word` in ASCII upper case, as keywords are compared.
std::string Upper(std::string_view word);

// The parsers' position in a statement's tokens, which always end with a kEnd token: the
// current token, the ones after it, and keywords and symbols taken when they are there.
class TokenCursor {
 protected:
  explicit TokenCursor(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  const Token& tok() const { return tokens_[pos_]; }
  const Token& peek(size_t k = 1) const { return tokens_[std::min(pos_ + k, tokens_.size() - 1)]; }
  void Advance() {
    if (pos_ + 1 < tokens_.size()) ++pos_;
  }
  bool IsWord(std::string_view w, const Token* t = nullptr) const {
    const Token& x = t ? *t : tok();
    return x.kind == TokenKind::kWord && Upper(x.text) == w;
  }
  bool IsSymbol(std::string_view s) const {
    return tok().kind == TokenKind::kSymbol && tok().text == s;
  }
  bool AcceptWord(std::string_view w) {
    if (!IsWord(w)) return false;
    Advance();
    return true;
  }
  bool AcceptSymbol(std::string_view s) {
    if (!IsSymbol(s)) return false;
    Advance();
    return true;
  }

  std::vector<Token> tokens_;
  size_t pos_ = 0;
};

}  // namespace jetsql

#endif  // QUORLA_JETSQL_TOKEN_CURSOR_H_
