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
  literals_only_ = true;
  bool after_star = true;
  for (const Token& token : tokens_) {
    if (token.kind == Kind::kStar) {
      after_star = true;
    } else if (token.kind == Kind::kLiteral && token.literal != jet::kReplacementChar) {
      if (after_star) runs_.emplace_back();
      AppendUtf8(runs_.back(), token.literal);
      after_star = false;
    } else {
      literals_only_ = false;
    }
  }
  anchored_start_ = !tokens_.empty() && tokens_.front().kind != Kind::kStar;
  anchored_end_ = !tokens_.empty() && tokens_.back().kind != Kind::kStar;
}

namespace {

// Whether `text` from byte `i` on, lower-cased as LowerChar does, starts with `run` (lower-cased
// letters). LowerChar keeps the length of a character's UTF-8 form, so the run covers as many
// bytes of the text as it has. Malformed bytes match no letter of a pattern.
bool FoldedAt(std::string_view text, size_t i, std::string_view run) {
  if (text.size() - i < run.size()) return false;
  size_t k = 0;
  while (k < run.size()) {
    unsigned char b = static_cast<unsigned char>(text[i + k]);
    if (b < 0x80) {
      if ((b >= 'A' && b <= 'Z' ? b + 32 : b) != static_cast<unsigned char>(run[k])) return false;
      ++k;
      continue;
    }
    size_t length;
    bool valid;
    char32_t c = jet::DecodeUtf8(text, i + k, &length, &valid);
    if (!valid || k + length > run.size()) return false;
    std::string lower;
    AppendUtf8(lower, LowerChar(c));
    if (run.compare(k, length, lower) != 0) return false;
    k += length;
  }
  return true;
}

bool IsCharacterStart(std::string_view text, size_t i) {
  return (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
}

// The first byte at or after `from` where `run` matches as FoldedAt says, or npos.
size_t FindFolded(std::string_view text, size_t from, std::string_view run) {
  const unsigned char first = static_cast<unsigned char>(run[0]);
  const bool letter = first >= 'a' && first <= 'z';
  for (size_t i = from; i + run.size() <= text.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    bool candidate = first < 0x80 ? (b == first || (letter && b == first - 32)) : b >= 0xC0;
    if (candidate && FoldedAt(text, i, run)) return i;
  }
  return std::string_view::npos;
}

}  // namespace

bool LikePattern::MatchesLiterals(std::string_view t) const {
  if (tokens_.empty()) return t.empty();
  if (runs_.empty()) return true;  // stars alone
  if (anchored_start_ && anchored_end_ && runs_.size() == 1) {
    return t.size() == runs_[0].size() && FoldedAt(t, 0, runs_[0]);
  }
  size_t pos = 0, first = 0, last = runs_.size();
  if (anchored_start_) {
    if (!FoldedAt(t, 0, runs_[0])) return false;
    pos = runs_[0].size();
    first = 1;
  }
  if (anchored_end_) --last;
  // Each run at its first place after the one before: leaves the most room for the rest.
  for (size_t r = first; r < last; ++r) {
    size_t found = FindFolded(t, pos, runs_[r]);
    if (found == std::string_view::npos) return false;
    pos = found + runs_[r].size();
  }
  if (anchored_end_) {
    const std::string& tail = runs_.back();
    if (t.size() - pos < tail.size()) return false;
    size_t at = t.size() - tail.size();
    return IsCharacterStart(t, at) && FoldedAt(t, at, tail);
  }
  return true;
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
  if (literals_only_) return MatchesLiterals(text);
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
