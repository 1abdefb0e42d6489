#ifndef QUORLA_JET_GENERAL_SORT97_CODES_H_
#define QUORLA_JET_GENERAL_SORT97_CODES_H_

// The character table behind the Access 97 (Jet 3) General text order: codes for the 256
// single-byte characters, plus the code units above 0xFF that stand for one of them (the
// Windows-1252 letters and signs in 0x80-0x9F). Other code units are ignored.

#include <cstddef>
#include <cstdint>

namespace jet::general_sort97 {

enum SortKind97 : uint8_t {
  kIgnored97,      // contributes nothing
  kPlain97,        // inline code only
  kSignificant97,  // inline code; counts as a position in the accent section
  kAccented97,     // inline code of its base letter plus an accent nibble
};

struct SortCode97 {
  SortKind97 kind;
  uint8_t inline_size;  // 0-2 bytes, big-endian
  uint16_t inline_code;
  uint8_t accent;  // kAccented97: the accent nibble
};

struct CharMapping97 {
  char16_t from;  // code unit above 0xFF
  uint8_t to;     // the single-byte character it sorts as
};

extern const SortCode97 kSortCodes97[256];
extern const CharMapping97 kCharMappings97[];  // sorted by `from`
extern const size_t kCharMappingCount97;

}  // namespace jet::general_sort97

#endif  // QUORLA_JET_GENERAL_SORT97_CODES_H_
