#ifndef QUORLA_QUERY_SPILL_FILE_H_
#define QUORLA_QUERY_SPILL_FILE_H_

#include <QString>
#include <QTemporaryFile>
#include <cstddef>
#include <cstdint>

namespace query {

// A temporary file in the system's temporary folder that takes blocks of bytes one after the
// other and gives them back by offset. It is created on the first Append and removed with
// its owner.
class SpillFile {
 public:
  SpillFile() = default;
  SpillFile(const SpillFile&) = delete;
  SpillFile& operator=(const SpillFile&) = delete;

  // Writes `size` bytes at the end of the file and returns where they start. Throws
  // jet::Error: 3026 when the disk is full, 3043 when the file cannot be made or written.
  uint64_t Append(const std::byte* data, size_t size);
  // Reads `size` bytes from `offset` into `out`; false when they cannot be read.
  bool ReadAt(uint64_t offset, std::byte* out, size_t size) const;

  // The file's path; empty before the first Append.
  QString Path() const;

 private:
  QTemporaryFile file_;
  uint64_t end_ = 0;
};

}  // namespace query

#endif  // QUORLA_QUERY_SPILL_FILE_H_
