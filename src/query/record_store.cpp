#include "query/record_store.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "jet/error.h"
#include "query/record_codec.h"

namespace query {

RecordStore::RecordStore(size_t memory_budget) : memory_budget_(memory_budget) {}

void RecordStore::Append(const std::vector<jet::Value>& row) {
  const size_t packed = PackedRecordSize(row);
  const size_t need = kLengthBytes + packed;
  if (packed > std::numeric_limits<Length>::max() - kLengthBytes) throw errors::Overflow();
  if (tail_used_ + need > tail_.size()) {
    if (tail_used_ > 0) Seal();
    if (tail_.size() < std::max(need, kBlockBytes) || tail_.size() > kBlockBytes) {
      tail_ = PageBlock(std::max(need, kBlockBytes));
    }
  }
  std::byte* out = tail_.data() + tail_used_;
  const auto length = static_cast<Length>(packed);
  std::memcpy(out, &length, sizeof length);
  PackRecord(row, out + kLengthBytes);
  tail_starts_.push_back(static_cast<uint32_t>(tail_used_));
  tail_used_ += need;
  ++rows_;
}

void RecordStore::Seal() {
  Block block;
  block.first_row = tail_first_row_;
  block.bytes = tail_used_;
  if (memory_used_ + tail_.size() <= memory_budget_) {
    memory_used_ += tail_.size();
    block.memory = std::move(tail_);
  } else {
    // Written out, the block being filled keeps its memory for the next records.
    block.file_offset = spill_.Append(tail_.data(), tail_used_);
  }
  blocks_.push_back(std::move(block));
  tail_first_row_ = rows_;
  tail_used_ = 0;
  tail_starts_.clear();
}

void RecordStore::FindStarts(const std::byte* data, size_t bytes, std::vector<uint32_t>& starts) {
  starts.clear();
  size_t at = 0;
  while (at + kLengthBytes <= bytes) {
    starts.push_back(static_cast<uint32_t>(at));
    Length length = 0;
    std::memcpy(&length, data + at, sizeof length);
    at += kLengthBytes + length;
  }
}

const RecordStore::Loaded* RecordStore::Load(size_t index) const {
  for (Loaded& entry : cache_) {
    if (entry.block == index) {
      entry.last_use = ++uses_;
      return &entry;
    }
  }
  Loaded* entry = nullptr;
  if (cache_.size() < kCachedBlocks) {
    entry = &cache_.emplace_back();
  } else {
    entry = &*std::min_element(cache_.begin(), cache_.end(), [](const Loaded& a, const Loaded& b) {
      return a.last_use < b.last_use;
    });
  }
  const Block& block = blocks_[index];
  entry->block = SIZE_MAX;
  if (block.memory.data() != nullptr) {
    entry->data = block.memory.data();
  } else {
    if (entry->read.capacity() > kBlockBytes && block.bytes <= kBlockBytes) {
      std::vector<std::byte>().swap(entry->read);  // let go of an outsized record's buffer
    }
    entry->read.resize(block.bytes);
    if (!spill_.ReadAt(block.file_offset, entry->read.data(), block.bytes)) return nullptr;
    entry->data = entry->read.data();
  }
  FindStarts(entry->data, block.bytes, entry->starts);
  entry->block = index;
  entry->last_use = ++uses_;
  return entry;
}

jet::Value RecordStore::At(size_t row, size_t col) const {
  if (row >= rows_) return jet::Value();
  const std::byte* data = nullptr;
  uint32_t start = 0;
  if (row >= tail_first_row_) {
    data = tail_.data();
    start = tail_starts_[row - tail_first_row_];
  } else {
    const auto next =
        std::upper_bound(blocks_.begin(), blocks_.end(), row,
                         [](size_t r, const Block& block) { return r < block.first_row; });
    const auto index = static_cast<size_t>(next - blocks_.begin()) - 1;
    const Loaded* loaded = Load(index);
    const size_t nth = row - blocks_[index].first_row;
    if (loaded == nullptr || nth >= loaded->starts.size()) return jet::Value();
    data = loaded->data;
    start = loaded->starts[nth];
  }
  Length length = 0;
  std::memcpy(&length, data + start, sizeof length);
  const std::byte* record = data + start + kLengthBytes;
  return UnpackValue(record, record + length, col);
}

}  // namespace query
