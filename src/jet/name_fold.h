#ifndef QUORLA_JET_NAME_FOLD_H_
#define QUORLA_JET_NAME_FOLD_H_

// Object names compare without regard to case, as Jet compares them: Latin (with accents and
// umlauts), Greek and Cyrillic letters fold to lower case; everything else compares as is.

#include <string>
#include <string_view>

namespace jet {

// `utf8` with every letter folded to lower case (invalid UTF-8 bytes pass through unchanged).
std::string FoldName(std::string_view utf8);

inline bool SameName(std::string_view a, std::string_view b) {
  return FoldName(a) == FoldName(b);
}

}  // namespace jet

#endif  // QUORLA_JET_NAME_FOLD_H_
