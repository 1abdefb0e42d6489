#ifndef QUORLA_JET_FILE_MAPPING_H_
#define QUORLA_JET_FILE_MAPPING_H_

// A read-only shared mapping of an open file, made at first use and reserved at the size a Jet
// file can reach, so that the file may grow under it. Reading a page through it costs no system
// call and no copy. What it keeps resident is bounded: once more than kResidentBudget bytes were
// touched, the chunks touched first are handed back to the kernel (madvise), which drops them
// from the resident set without invalidating any address: they are read from the file again
// when touched again. Should another program cut the file short under the mapping, reading a lost
// page gives zeros instead of killing the process, and the mapping's next use throws a disk error
// (3043) and gives the mapping up.

#include <cstdint>
#include <span>
#include <vector>

namespace jet {

class FileMapping {
 public:
  static constexpr uint64_t kReservedLength = uint64_t{1} << 31;
  static constexpr uint64_t kChunkLength = uint64_t{1} << 20;
  static constexpr uint64_t kResidentBudget = uint64_t{32} << 20;

  // `fd` must stay open while the mapping lives.
  explicit FileMapping(int fd) : fd_(fd) {}
  ~FileMapping();
  FileMapping(const FileMapping&) = delete;
  FileMapping& operator=(const FileMapping&) = delete;

  // The mapped bytes [offset, offset + length), or an empty span when the file cannot be mapped
  // or the range lies past the reserved length. Callers ask only for bytes the file holds (bytes
  // past its end read as zeros); throws 3043 once the file was found cut short.
  std::span<const uint8_t> Bytes(uint64_t offset, size_t length);

 private:
  void Touch(uint64_t first_chunk, uint64_t last_chunk);
  void Unmap();

  int fd_;
  bool tried_ = false;
  uint8_t* base_ = nullptr;
  size_t slot_ = 0;                   // among the ranges the bus-error handler watches
  uint64_t last_chunk_ = UINT64_MAX;  // the chunk touched last, resident
  std::vector<bool> resident_;        // by chunk
  std::vector<uint32_t> touched_;     // resident chunks, a ring from oldest_ on
  size_t oldest_ = 0;
};

}  // namespace jet

#endif  // QUORLA_JET_FILE_MAPPING_H_
