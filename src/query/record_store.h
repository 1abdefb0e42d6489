#ifndef QUORLA_QUERY_RECORD_STORE_H_
#define QUORLA_QUERY_RECORD_STORE_H_

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jet/value.h"
#include "query/page_block.h"
#include "query/spill_file.h"

namespace query {

// The records of one result, appended as they are read and read back by position. Records are
// packed (query/record_codec.h) into blocks of about kBlockBytes. Blocks stay in memory up to
// a budget; the ones after that go to a temporary file (query/spill_file.h), and the few read
// back last are kept in a small cache, so that the memory a result takes stays bounded
// whatever its size. A record is found through a small table of blocks by first record; within
// a block, each record carries its length in front (kLengthBytes).
class RecordStore {
 public:
  static constexpr size_t kBlockBytes = 64 * 1024;
  static constexpr size_t kDefaultMemoryBudget = 4 * 1024 * 1024;
  static constexpr size_t kCachedBlocks = 8;

  explicit RecordStore(size_t memory_budget = kDefaultMemoryBudget);
  RecordStore(const RecordStore&) = delete;
  RecordStore& operator=(const RecordStore&) = delete;

  // Adds a record after the last. Throws jet::Error when it cannot be kept (a value longer than
  // 4 GiB, a full disk).
  void Append(const std::vector<jet::Value>& row);
  size_t size() const { return rows_; }
  // The value in column `col` of record `row`; Null beyond the end of the record or of the
  // records, and where the temporary file cannot be read back.
  jet::Value At(size_t row, size_t col) const;

  // The temporary file holding the records beyond the budget; empty while there is none.
  QString SpillPath() const { return spill_.Path(); }

 private:
  using Length = uint32_t;
  static constexpr size_t kLengthBytes = sizeof(Length);

  struct Block {
    size_t first_row = 0;
    size_t bytes = 0;
    uint64_t file_offset = 0;  // where it lies in the spill file, when not in memory
    PageBlock memory;          // empty once written to the spill file
  };
  // A block as it is read: its bytes and where each of its records starts.
  struct Loaded {
    size_t block = SIZE_MAX;
    uint64_t last_use = 0;
    const std::byte* data = nullptr;
    std::vector<std::byte> read;  // the bytes of a block read back from the spill file
    std::vector<uint32_t> starts;
  };

  // Closes the block being filled: it stays in memory within the budget and goes to the
  // spill file beyond it.
  void Seal();
  // The block at `index`, from the cache or loaded into it; null when it cannot be read.
  const Loaded* Load(size_t index) const;
  static void FindStarts(const std::byte* data, size_t bytes, std::vector<uint32_t>& starts);

  size_t memory_budget_;
  size_t memory_used_ = 0;
  size_t rows_ = 0;
  std::vector<Block> blocks_;  // sealed blocks, in record order
  // The block being filled: records from tail_first_row_ on.
  PageBlock tail_;
  size_t tail_used_ = 0;
  size_t tail_first_row_ = 0;
  std::vector<uint32_t> tail_starts_;
  SpillFile spill_;
  mutable std::vector<Loaded> cache_;
  mutable uint64_t uses_ = 0;
};

}  // namespace query

#endif  // QUORLA_QUERY_RECORD_STORE_H_
