#include "jet/file_mapping.h"

#include <sys/mman.h>

namespace jet {
namespace {

constexpr size_t kBudgetChunks = FileMapping::kResidentBudget / FileMapping::kChunkLength;

}  // namespace

FileMapping::~FileMapping() {
  if (base_ != nullptr) ::munmap(base_, static_cast<size_t>(kReservedLength));
}

std::span<const uint8_t> FileMapping::Bytes(uint64_t offset, size_t length) {
  if (length == 0 || offset >= kReservedLength || length > kReservedLength - offset) return {};
  if (base_ == nullptr) {
    if (tried_) return {};
    tried_ = true;
    if constexpr (sizeof(size_t) < sizeof(uint64_t)) return {};  // no room to reserve
    void* p = ::mmap(nullptr, static_cast<size_t>(kReservedLength), PROT_READ, MAP_SHARED, fd_, 0);
    if (p == MAP_FAILED) return {};
    base_ = static_cast<uint8_t*>(p);
    resident_.assign(kReservedLength / kChunkLength, false);
    touched_.reserve(kBudgetChunks);
  }
  Touch(offset / kChunkLength, (offset + length - 1) / kChunkLength);
  return {base_ + offset, length};
}

void FileMapping::Touch(uint64_t first_chunk, uint64_t last_chunk) {
  for (uint64_t chunk = first_chunk; chunk <= last_chunk; ++chunk) {
    if (chunk == last_chunk_ || resident_[chunk]) {
      last_chunk_ = chunk;
      continue;
    }
    if (touched_.size() < kBudgetChunks) {
      touched_.push_back(static_cast<uint32_t>(chunk));
    } else {
      const uint32_t gone = touched_[oldest_];
      ::madvise(base_ + uint64_t{gone} * kChunkLength, static_cast<size_t>(kChunkLength),
                MADV_DONTNEED);
      resident_[gone] = false;
      touched_[oldest_] = static_cast<uint32_t>(chunk);
      oldest_ = (oldest_ + 1) % kBudgetChunks;
    }
    resident_[chunk] = true;
    last_chunk_ = chunk;
  }
}

}  // namespace jet
