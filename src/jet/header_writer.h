#ifndef QUORLA_JET_HEADER_WRITER_H_
#define QUORLA_JET_HEADER_WRITER_H_

// The database definition page (page 0) of a new Jet 4 file, as Access 2000 writes it: format id
// and version, then the masked part with code page, no database key, an empty password (masked
// with the creation date), the General sort order and the creation date.

#include <cstdint>
#include <vector>

#include "jet/value.h"

namespace jet {

namespace header {
inline constexpr uint16_t kCodePageWestern = 1252;
inline constexpr size_t kSortOrderOffset = 0x6e;  // Jet 4: locale id, then a version
inline constexpr uint16_t kSortOrderGeneral = 1033;
}  // namespace header

// A whole page 0 of `page_size` bytes for a file created at `created`.
std::vector<uint8_t> EncodeJet4Header(DateTime created, size_t page_size);

}  // namespace jet

#endif  // QUORLA_JET_HEADER_WRITER_H_
