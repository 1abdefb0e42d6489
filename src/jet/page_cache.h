#ifndef QUORLA_JET_PAGE_CACHE_H_
#define QUORLA_JET_PAGE_CACHE_H_

// The pages of an open file, read through a fixed number of page buffers (least recently used
// first out), decrypted when the file carries a database key. Memory stays the same whatever the
// size of the file.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "jet/file.h"
#include "jet/page_reader.h"

namespace jet {

class PageCache : public PageReader {
 public:
  static constexpr size_t kDefaultCapacity = 256;

  // Reads pages of `page_size` bytes from `file`, which must outlive the cache. A nonzero
  // `database_key` decrypts every page but page 0 with RC4 keyed by the key XOR the page number.
  PageCache(RandomAccessFile& file, size_t page_size, uint32_t database_key,
            size_t capacity = kDefaultCapacity);

  size_t page_size() const override { return page_size_; }
  uint32_t page_count() const override { return page_count_; }
  // The returned bytes stay valid until `capacity() - 1` further distinct pages were read.
  std::span<const uint8_t> Page(uint32_t number) override;

  // Drops the cached copy of page `number` (after the file changed under it).
  void Forget(uint32_t number);
  // Drops every cached page.
  void Clear();
  // The file grew or shrank to `count` pages.
  void SetPageCount(uint32_t count) { page_count_ = count; }

  size_t capacity() const { return capacity_; }
  size_t resident_pages() const { return slots_.size(); }

 private:
  struct Slot {
    uint32_t page = 0;
    std::vector<uint8_t> bytes;
    size_t newer = kNone;  // towards the most recently used end
    size_t older = kNone;
  };
  static constexpr size_t kNone = SIZE_MAX;

  void Unlink(size_t slot);
  void PushNewest(size_t slot);
  size_t TakeSlot();
  void Load(Slot& slot, uint32_t number);

  RandomAccessFile& file_;
  size_t page_size_;
  uint32_t database_key_;
  size_t capacity_;
  uint32_t page_count_;
  std::vector<Slot> slots_;
  std::unordered_map<uint32_t, size_t> where_;
  std::vector<size_t> free_;  // slots whose load failed
  size_t newest_ = kNone;
  size_t oldest_ = kNone;
};

}  // namespace jet

#endif  // QUORLA_JET_PAGE_CACHE_H_
