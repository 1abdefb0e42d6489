#ifndef QUORLA_JETSQL_TEXT_BOUNDS_H_
#define QUORLA_JETSQL_TEXT_BOUNDS_H_

// Bounds for walking a text index of a Jet 4 file over a range in General order. The index keys
// leave out trailing spaces, and General order weighs accents, punctuation and control characters
// apart from letters, so a bound is widened to letters and digits alone: its leading ASCII letters
// and digits. Every text in the range then has a key at or after the lower bound and before the
// upper one; the walk may return a few rows too many, never too few, and the caller checks each
// row against the exact range.

#include <optional>
#include <string>
#include <string_view>

namespace jetsql {

// The leading ASCII letters and digits of `text`, lower-cased.
std::string AlnumPrefix(std::string_view text);

// A text that sorts after every text that sorts at or before `text`, made of letters and digits;
// nothing when there is none (`text` does not start with one, or only with z and 9).
std::optional<std::string> AlnumUpperBound(std::string_view text);

// The same after every text that starts with `prefix` (ASCII letters and digits, any case).
std::optional<std::string> AlnumSuccessor(std::string prefix);

}  // namespace jetsql

#endif  // QUORLA_JETSQL_TEXT_BOUNDS_H_
