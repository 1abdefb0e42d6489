#include "jetsql/like.h"

#include "jet/error.h"
#include "jetsql/text_util.h"

namespace jetsql {

namespace {

bool InRange(char32_t c, char32_t from, char32_t to) {
  return c >= from && c <= to;
}

}  // namespace

LikePattern::LikePattern(std::string_view pattern) {
  std::u32string p = Utf8ToU32(pattern);
  size_t i = 0;
  while (i < p.size()) {
    char32_t c = p[i];
    Token token;
    token.kind = Kind::kLiteral;
    if (c == '*') {
      // Runs of stars are one star.
      if (!tokens_.empty() && tokens_.back().kind == Kind::kStar) {
        ++i;
        continue;
      }
      token.kind = Kind::kStar;
      ++i;
    } else if (c == '?') {
      token.kind = Kind::kAny;
      ++i;
    } else if (c == '#') {
      token.kind = Kind::kDigit;
      ++i;
    } else if (c == '[') {
      size_t close = p.find(']', i + 1);
      if (close == std::u32string::npos) {
        throw errors::InvalidPattern();
      }
      std::u32string_view body(p.data() + i + 1, close - i - 1);
      i = close + 1;
      if (body.empty()) continue;  // `[]` matches the empty string
      token.kind = Kind::kSet;
      size_t k = 0;
      if (body[0] == '!' && body.size() > 1) {
        token.negated = true;
        k = 1;
      }
      while (k < body.size()) {
        char32_t from = body[k];
        if (k + 2 < body.size() && body[k + 1] == '-') {
          char32_t to = body[k + 2];
          if (to < from) {
            throw errors::InvalidPattern();
          }
          token.ranges.push_back({from, to});
          k += 3;
        } else {
          token.ranges.push_back({from, from});
          ++k;
        }
      }
    } else {
      token.literal = LowerChar(c);
      ++i;
    }
    tokens_.push_back(std::move(token));
  }
}

bool LikePattern::TokenMatches(const Token& token, char32_t c) const {
  switch (token.kind) {
    case Kind::kLiteral:
      if (c < 0x80) return (c >= 'A' && c <= 'Z' ? c + 32 : c) == token.literal;
      return LowerChar(c) == token.literal;
    case Kind::kAny:
      return true;
    case Kind::kDigit:
      return c >= '0' && c <= '9';
    case Kind::kStar:
      return false;
    case Kind::kSet: {
      char32_t lower = LowerChar(c);
      char32_t upper = UpperChar(c);
      char32_t base = BaseLetter(c);
      bool found = false;
      for (const Range& r : token.ranges) {
        if (InRange(c, r.from, r.to) || InRange(lower, LowerChar(r.from), LowerChar(r.to)) ||
            InRange(upper, UpperChar(r.from), UpperChar(r.to)) ||
            (base != lower && base < 0x80 && InRange(base, LowerChar(r.from), LowerChar(r.to)))) {
          found = true;
          break;
        }
      }
      return found != token.negated;
    }
  }
  return false;
}

bool LikePattern::Matches(std::string_view text) const {
  // Greedy match that, on a mismatch, lets the most recent star swallow one more character.
  // Every step advances either the text or the star's mark, so the work is bounded by
  // text length x pattern length. The text is decoded as it is read.
  size_t t = 0, p = 0;
  size_t star = std::string::npos, mark = 0;
  const size_t n = text.size(), m = tokens_.size();
  while (t < n) {
    if (p < m && tokens_[p].kind == Kind::kStar) {
      star = p++;
      mark = t;
      continue;
    }
    size_t len;
    char32_t c = jet::DecodeUtf8(text, t, &len);
    if (p < m && TokenMatches(tokens_[p], c)) {
      ++p;
      t += len;
    } else if (star != std::string::npos) {
      p = star + 1;
      size_t mark_len;
      jet::DecodeUtf8(text, mark, &mark_len);
      mark += mark_len;
      t = mark;
    } else {
      return false;
    }
  }
  while (p < m && tokens_[p].kind == Kind::kStar) ++p;
  return p == m;
}

}  // namespace jetsql
