#ifndef QUORLA_JET_GENERAL_SORT_CODES_H_
#define QUORLA_JET_GENERAL_SORT_CODES_H_

// The character table behind the General text order: for every UTF-16 code unit (surrogates
// excepted, they are computed) the bytes it contributes to a sort key. Code units with the same
// shape are grouped in runs; within a run the inline code either stays the same (step 0) or grows
// by one per code unit (step 1).

#include <cstddef>
#include <cstdint>

namespace jet::general_sort {

enum SortKind : uint8_t {
  kIgnored,          // contributes nothing
  kPlain,            // inline code only
  kAccented,         // inline code of its base letter, plus an accent code in the extra section
  kUnprintable,      // no inline code; recorded with its position in the unprintable section
  kModifier,         // combining mark: adds its code to the previous accent code
  kAccentedFlagged,  // like kAccented, plus a two-bit flag in the flag section
};

struct SortCodeRun {
  char16_t first;   // first code unit of the run
  uint16_t length;  // code units in the run
  SortKind kind;
  uint8_t step;          // 0 or 1: growth of inline_code per code unit
  uint8_t inline_size;   // bytes of the inline code (0-4), big-endian
  uint32_t inline_code;  // inline code of `first`
  uint8_t extra_size;    // bytes of the extra code (0-2): accent, unprintable or modifier code
  uint16_t extra_code;
  uint8_t flag;  // kAccentedFlagged: 2 or 3
};

// Sorted by `first`, without gaps, covering 0x0000-0xFFFF except the surrogates.
extern const SortCodeRun kSortCodeRuns[];
extern const size_t kSortCodeRunCount;

}  // namespace jet::general_sort

#endif  // QUORLA_JET_GENERAL_SORT_CODES_H_
