#ifndef QUORLA_JETSQL_LIKE_H_
#define QUORLA_JETSQL_LIKE_H_

// Access's Like: `*` any run of characters, `?` one character, `#` one digit, `[abc]`, `[a-z]`,
// `[!a-z]` one character of (not of) a set; `[*]`, `[?]`, `[#]`, `[[]` match the character itself;
// `%` and `_` are ordinary characters. Letters match without regard to case. Matching runs in
// O(text x pattern) time whatever the pattern.

#include <string>
#include <string_view>
#include <vector>

namespace jetsql {

// jet_like_column(column, pattern): a text column Like a constant pattern, 1 / 0 (SQLite's truth,
// as `jet_like(...) <> 0` gives) or NULL. The "jet" table evaluates it itself in WHERE, on the
// column's value before SQLite reads the row.
inline constexpr char kLikeColumnFunction[] = "jet_like_column";

class LikePattern {
 public:
  // Throws jet::Error 93 ("Ungültige Musterzeichenfolge.") for a `[` without its `]`.
  explicit LikePattern(std::string_view pattern);
  bool Matches(std::string_view text) const;

 private:
  enum class Kind { kLiteral, kAny, kDigit, kStar, kSet };
  struct Range {
    char32_t from, to;
  };
  struct Token {
    Kind kind = Kind::kLiteral;
    char32_t literal = 0;  // folded to lower case
    bool negated = false;
    std::vector<Range> ranges;
  };
  bool TokenMatches(const Token& token, char32_t c) const;
  bool MatchesLiterals(std::string_view text) const;

  std::vector<Token> tokens_;
  // Patterns of letters and stars alone ('*Müller*', 'abc*') are matched on the text's bytes:
  // the lower-cased runs of letters between the stars, each at its first place, in order.
  bool literals_only_ = false;
  bool anchored_start_ = false, anchored_end_ = false;
  std::vector<std::string> runs_;
};

}  // namespace jetsql

#endif  // QUORLA_JETSQL_LIKE_H_
