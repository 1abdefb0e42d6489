#ifndef QUORLA_JET_JOURNAL_FORMAT_H_
#define QUORLA_JET_JOURNAL_FORMAT_H_

// Byte layout of the rollback journal, "<database path>-journal". All numbers little-endian.
//
//   header   0  magic "QJETJRNL"
//            8  u32 format version (1)
//           12  u32 page size
//           16  u64 size of the database file before the transaction
//           24  u32 number of records
//           28  u32 zero
//   records     u32 page number, then the page's bytes exactly as stored (encrypted if the file is)
//   trailer     u32 CRC-32 of every byte before it
//
// A journal whose length or checksum does not match was cut short while being written: the
// database itself was not touched yet.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace jet::journal {

inline constexpr std::array<uint8_t, 8> kMagic = {'Q', 'J', 'E', 'T', 'J', 'R', 'N', 'L'};
inline constexpr uint32_t kVersion = 1;
inline constexpr size_t kVersionOffset = 8;
inline constexpr size_t kPageSizeOffset = 12;
inline constexpr size_t kOriginalSizeOffset = 16;
inline constexpr size_t kRecordCountOffset = 24;
inline constexpr size_t kHeaderSize = 32;
inline constexpr size_t kRecordPageNumberSize = 4;
inline constexpr size_t kTrailerSize = 4;

inline size_t RecordSize(size_t page_size) {
  return kRecordPageNumberSize + page_size;
}

inline std::string PathFor(const std::string& database_path) {
  return database_path + "-journal";
}

}  // namespace jet::journal

#endif  // QUORLA_JET_JOURNAL_FORMAT_H_
