#ifndef QUORLA_JET_MEMORY_FILE_H_
#define QUORLA_JET_MEMORY_FILE_H_

// A RandomAccessFile over bytes held in memory (for tests, fuzzing and damaged-file checks).

#include <cstdint>
#include <memory>
#include <vector>

#include "jet/file.h"

namespace jet {

std::unique_ptr<RandomAccessFile> NewMemoryFile(std::vector<uint8_t> bytes);

// The same, writable; `bytes` afterwards shows what was written (the caller keeps it alive).
std::unique_ptr<WritableFile> NewWritableMemoryFile(std::vector<uint8_t>& bytes);

}  // namespace jet

#endif  // QUORLA_JET_MEMORY_FILE_H_
