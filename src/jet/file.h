#ifndef QUORLA_JET_FILE_H_
#define QUORLA_JET_FILE_H_

// A file read (and written) at given offsets; env.h opens them. Tests substitute their
// own implementation to inject short reads and I/O failures.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "jet/error.h"

namespace jet {

class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;
  // Size of the file in bytes, as of opening.
  virtual uint64_t Size() const = 0;
  // Fills `out` with the bytes at `offset`. Returns the number of bytes read, which is less than
  // out.size() only at the end of the file. Throws IoFailure on an I/O failure.
  virtual size_t Read(uint64_t offset, std::span<uint8_t> out) = 0;
  // The bytes [offset, offset + length) in place, from a mapping of the file into memory, or an
  // empty span when there is none (then Read them). They show the file as it is when touched,
  // writes through any handle included, and stay addressable while the file is open. Ask only for
  // bytes the file holds: should another program cut it short meanwhile, the lost bytes read as
  // zeros and the next call throws 3043.
  virtual std::span<const uint8_t> Mapped(uint64_t offset, size_t length) {
    (void)offset;
    (void)length;
    return {};
  }
};

// A file the engine may also change. Size() is the current size, growing with writes past the end.
class WritableFile : public RandomAccessFile {
 public:
  // Writes all of `bytes` at `offset`, extending the file when needed. Throws Error on failure.
  virtual void Write(uint64_t offset, std::span<const uint8_t> bytes) = 0;
  // Makes every completed write durable. Throws Error on failure.
  virtual void Sync() = 0;
  // Cuts or extends the file to `size` bytes.
  virtual void Truncate(uint64_t size) = 0;
};

// The error for a failed read, write or sync with errno `error_number`: 3026 when the disk is
// full, else 3043. A file that reads but is short or damaged is 3343 instead (format_error.h).
Error IoFailure(int error_number);

// Opens `path` for reading. Throws Error 3024 (with the path) when it does not exist and 3343 when
// it is not a regular readable file.
std::unique_ptr<RandomAccessFile> OpenFile(const std::string& path);

// Opens `path` for reading and writing. Errors as OpenFile; a file that cannot be opened for
// writing (read-only media or permissions) gives Error 3027.
std::unique_ptr<WritableFile> OpenFileForWriting(const std::string& path);

}  // namespace jet

#endif  // QUORLA_JET_FILE_H_
