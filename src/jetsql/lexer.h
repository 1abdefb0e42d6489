#ifndef QUORLA_JETSQL_LEXER_H_
#define QUORLA_JETSQL_LEXER_H_

// Splits a Jet SQL statement into tokens. Words are not classified here: whether "Select" or
// "Name" is a keyword depends on where it stands, which the parser decides.

#include <cstddef>
#include <string>
#include <vector>

namespace jetsql {

enum class TokenKind {
  kWord,    // letters, digits, underscores; may be a keyword or a name
  kName,    // [bracketed name], text without the brackets
  kNumber,  // 12, 1.5, .5, 1E3, &H1F, &O17 (the last two with their VBA value, maybe negative)
  kString,  // 'text' or "text", quotes removed and doubled quotes undone
  kDate,    // #date#, value in `number` (days since 1899-12-30)
  kSymbol,  // operators and punctuation: & + - * / \ ^ = <> < <= > >= ( ) , . ; !
  kEnd,
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string text;      // as described per kind; symbols as written
  double number = 0;     // kNumber and kDate
  bool integer = false;  // kNumber without fraction or exponent
  size_t pos = 0;        // byte offset in the statement
  size_t end = 0;        // byte offset just after the token
};

// Throws jet::Error (3075) for unterminated strings, names or dates and malformed dates,
// and 3360 for statements beyond the length limits.
std::vector<Token> Tokenize(const std::string& sql);

// Parses the inside of a #date# literal; returns false if it is not a date Jet accepts.
bool ParseDateLiteral(const std::string& text, double* days);

// Days since 1899-12-30 of a proleptic Gregorian date (no range check).
double DaysFromCivil(int year, int month, int day);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_LEXER_H_
